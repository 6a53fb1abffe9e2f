#include "engine/handle_table.h"

#include "crypto/engine_api.h"

namespace quillora::engine {

uint32_t HandleTable::Open() {
  std::lock_guard lock(mutex_);
  // After a wrap-around, step over 0 and over handles still open.
  while (next_ == 0 || open_.count(next_) != 0) ++next_;
  const uint32_t handle = next_++;
  open_.emplace(handle, EngineSettings{});
  return handle;
}

bool HandleTable::Close(uint32_t handle) {
  std::lock_guard lock(mutex_);
  return open_.erase(handle) != 0;
}

bool HandleTable::Set(uint32_t handle, int32_t number, std::string value) {
  std::lock_guard lock(mutex_);
  const auto found = open_.find(handle);
  if (found == open_.end()) return false;
  EngineSettings& settings = found->second;
  switch (number) {
    case engine_params::kUserName:
      settings.userName = std::move(value);
      return true;
    case engine_params::kSecretKeyDir:
      settings.secretKeyDir = std::move(value);
      return true;
    case engine_params::kPublicKeyDir:
      settings.publicKeyDir = std::move(value);
      return true;
    case engine_params::kLanguage:
      settings.language = std::move(value);
      return true;
    case engine_params::kReserved:
      // Callers always set it, to the empty string; it carries nothing.
      return true;
    default:
      return false;
  }
}

std::optional<EngineSettings> HandleTable::Settings(uint32_t handle) const {
  std::lock_guard lock(mutex_);
  const auto found = open_.find(handle);
  if (found == open_.end()) return std::nullopt;
  return found->second;
}

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

}  // namespace quillora::engine
