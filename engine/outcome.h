// A value or the reason there is none: what the engine's helpers and the site's checks
// return instead of throwing, so that failures stay plain values across every boundary.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace quillora::engine {

template <typename T>
class Outcome {
 public:
  Outcome(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
  static Outcome Fail(std::string error) {
    Outcome outcome;
    outcome.error_ = std::move(error);
    return outcome;
  }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  T& value() { return *value_; }
  const T& value() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  const std::string& error() const { return error_; }

 private:
  Outcome() = default;
  std::optional<T> value_;
  std::string error_;
};

// Success or the reason for a failure, for operations that yield nothing else.
struct Status {
  bool ok = true;
  std::string error;
  static Status Fail(std::string error) { return {false, std::move(error)}; }
  explicit operator bool() const { return ok; }
};

}  // namespace quillora::engine
