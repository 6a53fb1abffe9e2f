// The engine's open handles: each one a small number that names the settings its caller
// made. Callers may use different handles from different threads.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "engine/engine_settings.h"

namespace quillora::engine {

class HandleTable {
 public:
  // A new handle with empty settings; never 0.
  uint32_t Open();
  // Whether `handle` was open.
  bool Close(uint32_t handle);
  // Sets user name (1), secret key directory (2), public key directory (3) or language
  // (7); takes and drops the reserved parameter 6. False for an unknown handle or
  // parameter number.
  bool Set(uint32_t handle, int32_t number, std::string value);
  // A copy of the handle's settings, so the work runs without holding the lock.
  std::optional<EngineSettings> Settings(uint32_t handle) const;

 private:
  mutable std::mutex mutex_;
  std::map<uint32_t, EngineSettings> open_;
  uint32_t next_ = 1;
};

// The table of this library.
HandleTable& Handles();

}  // namespace quillora::engine
