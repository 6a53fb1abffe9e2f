// The codes the crypto services record in the error register.
#pragma once

#include <cstdint>

namespace quillora::crypto_errors {

// The security client's installation directory cannot be read from the registry.
inline constexpr int32_t kNoInstallDir = -7;
// The security client's configuration file does not exist.
inline constexpr int32_t kNoConfigFile = -11;
// The configuration file cannot be opened (or read).
inline constexpr int32_t kConfigFileUnreadable = -12;
// No web server has been named (DestLocation is empty).
inline constexpr int32_t kNoDestLocation = -13;
// The configuration has no section for the named web server.
inline constexpr int32_t kNoWebServerSection = -14;
// The crypto engine library cannot be loaded.
inline constexpr int32_t kEngineNotLoaded = -16;
// An entry point of the engine or of the Base64 library is missing.
inline constexpr int32_t kEntryMissing = -17;
// The engine or the Base64 library reports failure (or an impossible result).
inline constexpr int32_t kCallFailed = -18;
// A working buffer cannot be allocated.
inline constexpr int32_t kNoMemory = -19;
// The Base64 library cannot be loaded from the module directory nor the search path.
inline constexpr int32_t kBase64NotLoaded = -20;

}  // namespace quillora::crypto_errors
