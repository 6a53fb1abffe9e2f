// Sets (or with null, removes) an environment variable for the lifetime of the object
// and puts the earlier state back afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace quillora::testing {

class ScopedEnv {
 public:
  ScopedEnv(std::string name, const char* value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str()); old != nullptr) previous_ = old;
    Set(value);
  }
  ScopedEnv(std::string name, const std::string& value)
      : ScopedEnv(std::move(name), value.c_str()) {}
  ~ScopedEnv() { Set(previous_ ? previous_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const char* value) {
    if (value == nullptr) {
      unsetenv(name_.c_str());
    } else {
      setenv(name_.c_str(), value, 1);
    }
  }

  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace quillora::testing
