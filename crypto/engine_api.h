// The exports of a crypto engine library, as the control binds them by name. Engines are
// plain C libraries; strings are NUL-terminated 8-bit strings and the engine handle is
// a 32-bit value, 0 meaning failure.
#pragma once

#include <cstdint>

extern "C" {

using EngineHandle = uint32_t;

// Opens a handle for the named engine; 0 when the name is empty or unknown.
using InitCryptoEngineFn = EngineHandle (*)(const char* cryptoEngine);
// Sets parameter `number` (1 user name, 2 secret key directory, 3 public key directory,
// 7 language, 6 reserved) of an open handle.
using SetCryptoParamValueFn = int32_t (*)(EngineHandle handle, int32_t number, const char* value);
using DoneCryptoEngineFn = int32_t (*)(EngineHandle handle);
// Largest signature in bytes; 0 is failure.
using GetMaxSignatureLengthFn = int32_t (*)(EngineHandle handle);
// Signs `length` bytes at *data into `out`; *outLength holds the room on entry and the
// bytes written on return. 0 is success.
using SignDataFn = int32_t (*)(EngineHandle handle, const unsigned char** data, int32_t length,
                               unsigned char* out, int32_t* outLength, int32_t reserved);
// Most bytes encryption adds to its input; 0 is failure.
using GetMaxEncodeAdditionFn = int32_t (*)(EngineHandle handle);
// Encrypts *length bytes of `buffer` in place; the buffer has room for *length plus
// GetMaxEncodeAddition bytes. *length receives the encrypted length. 0 is success.
using EncodeDataFn = int32_t (*)(EngineHandle handle, unsigned char* buffer, int32_t* length,
                                 int32_t reserved);
// Length of the identifier DecodeData writes (without its terminating zero).
using GetMaxUIDLengthFn = int32_t (*)(EngineHandle handle);
// Decrypts *length bytes of `buffer` in place (never longer than the input) and writes a
// NUL-terminated identifier into `uid` (room: GetMaxUIDLength + 1). 0 is success.
using DecodeDataFn = int32_t (*)(EngineHandle handle, unsigned char* buffer, int32_t* length,
                                 char* uid);

}  // extern "C"

namespace quillora::engine_params {
inline constexpr int32_t kUserName = 1;
inline constexpr int32_t kSecretKeyDir = 2;
inline constexpr int32_t kPublicKeyDir = 3;
inline constexpr int32_t kReserved = 6;
inline constexpr int32_t kLanguage = 7;
}  // namespace quillora::engine_params
