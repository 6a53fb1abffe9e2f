// The C entry points of the engine library. They look up the handle, check the caller's
// buffers and copy results into them; the work itself is in engine_operations. Nothing
// is written to a caller's buffer unless the whole result fits in the room it gave.
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "crypto/engine_api.h"
#include "engine/engine_operations.h"
#include "engine/handle_table.h"
#include "engine/openssl_errors.h"

#define ZELCOR_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using quillora::engine::Handles;

// The engine name this library answers to.
constexpr std::string_view kEngineName = "cms";

// Results of the operations that return a status: 0 is success.
enum Status : int32_t {
  kOk = 0,
  kUnknownHandle = 1,
  kBadArgument = 2,
  kFailed = 3,  // missing or refused keys, damaged input, a cryptographic failure
  kNoRoom = 4,  // the result is larger than the room the caller gave
};

// No exception may cross into a C caller; running out of memory is just a failure. The
// OpenSSL errors of the work stay here too: the caller's error queue is left as it was.
template <typename Work>
auto Guarded(auto failure, Work work) noexcept -> decltype(failure) {
  try {
    quillora::engine::OpenSslErrorScope scope;
    return work();
  } catch (...) {
    return failure;
  }
}

int32_t ToInt32(size_t value) {
  return value <= INT32_MAX ? static_cast<int32_t>(value) : 0;
}

}  // namespace

ZELCOR_EXPORT EngineHandle InitCryptoEngine(const char* cryptoEngine) {
  return Guarded(EngineHandle{0}, [&] {
    if (cryptoEngine == nullptr || std::string_view(cryptoEngine) != kEngineName) {
      return EngineHandle{0};
    }
    return Handles().Open();
  });
}

ZELCOR_EXPORT int32_t SetCryptoParamValue(EngineHandle handle, int32_t number, const char* value) {
  return Guarded(int32_t{kFailed}, [&]() -> int32_t {
    if (!Handles().Settings(handle)) return kUnknownHandle;
    if (value == nullptr) return kBadArgument;
    return Handles().Set(handle, number, value) ? kOk : kBadArgument;
  });
}

ZELCOR_EXPORT int32_t DoneCryptoEngine(EngineHandle handle) {
  return Guarded(int32_t{kFailed},
                 [&]() -> int32_t { return Handles().Close(handle) ? kOk : kUnknownHandle; });
}

ZELCOR_EXPORT int32_t GetMaxSignatureLength(EngineHandle handle) {
  return Guarded(int32_t{0}, [&] {
    const auto settings = Handles().Settings(handle);
    return settings ? ToInt32(quillora::engine::MaxSignatureLength(*settings)) : 0;
  });
}

ZELCOR_EXPORT int32_t SignData(EngineHandle handle, const unsigned char** data, int32_t length,
                               unsigned char* out, int32_t* outLength, int32_t /*reserved*/) {
  return Guarded(int32_t{kFailed}, [&]() -> int32_t {
    const auto settings = Handles().Settings(handle);
    if (!settings) return kUnknownHandle;
    if (data == nullptr || length < 0 || (*data == nullptr && length > 0) || out == nullptr ||
        outLength == nullptr || *outLength < 0) {
      return kBadArgument;
    }
    const std::string_view content(reinterpret_cast<const char*>(*data),
                                   static_cast<size_t>(length));
    const auto signature = quillora::engine::SignAsUser(*settings, content);
    if (!signature) return kFailed;
    if (signature->size() > static_cast<size_t>(*outLength)) return kNoRoom;
    std::memcpy(out, signature->data(), signature->size());
    *outLength = static_cast<int32_t>(signature->size());
    return kOk;
  });
}

ZELCOR_EXPORT int32_t GetMaxEncodeAddition(EngineHandle handle) {
  return Guarded(int32_t{0}, [&] {
    const auto settings = Handles().Settings(handle);
    return settings ? ToInt32(quillora::engine::MaxEncodeAddition(*settings)) : 0;
  });
}

ZELCOR_EXPORT int32_t EncodeData(EngineHandle handle, unsigned char* buffer, int32_t* length,
                                 int32_t /*reserved*/) {
  return Guarded(int32_t{kFailed}, [&]() -> int32_t {
    const auto settings = Handles().Settings(handle);
    if (!settings) return kUnknownHandle;
    if (buffer == nullptr || length == nullptr || *length < 0) return kBadArgument;
    const std::string_view content(reinterpret_cast<const char*>(buffer),
                                   static_cast<size_t>(*length));
    const auto sealed = quillora::engine::SealForRecipients(*settings, content);
    if (!sealed) return kFailed;
    // The caller made room for its data plus what GetMaxEncodeAddition promised.
    const size_t room = static_cast<size_t>(*length) + sealed->maxAddition;
    if (sealed->der.size() > room || sealed->der.size() > INT32_MAX) return kNoRoom;
    std::memcpy(buffer, sealed->der.data(), sealed->der.size());
    *length = static_cast<int32_t>(sealed->der.size());
    return kOk;
  });
}

ZELCOR_EXPORT int32_t GetMaxUIDLength(EngineHandle handle) {
  return Guarded(int32_t{0}, [&] {
    return Handles().Settings(handle) ? static_cast<int32_t>(quillora::engine::kMaxUidLength) : 0;
  });
}

ZELCOR_EXPORT int32_t DecodeData(EngineHandle handle, unsigned char* buffer, int32_t* length,
                                 char* uid) {
  return Guarded(int32_t{kFailed}, [&]() -> int32_t {
    const auto settings = Handles().Settings(handle);
    if (!settings) return kUnknownHandle;
    if (buffer == nullptr || length == nullptr || *length < 0 || uid == nullptr) {
      return kBadArgument;
    }
    const std::string_view der(reinterpret_cast<const char*>(buffer), static_cast<size_t>(*length));
    const auto opened = quillora::engine::OpenAsUser(*settings, der);
    if (!opened) return kFailed;
    if (opened->content.size() > static_cast<size_t>(*length)) return kNoRoom;
    std::memcpy(buffer, opened->content.data(), opened->content.size());
    *length = static_cast<int32_t>(opened->content.size());
    std::memcpy(uid, opened->uid.data(), opened->uid.size());
    uid[opened->uid.size()] = '\0';
    return kOk;
  });
}

// The exports must keep the exact types the callers bind them as.
static_assert(std::is_same_v<decltype(&InitCryptoEngine), InitCryptoEngineFn>);
static_assert(std::is_same_v<decltype(&SetCryptoParamValue), SetCryptoParamValueFn>);
static_assert(std::is_same_v<decltype(&DoneCryptoEngine), DoneCryptoEngineFn>);
static_assert(std::is_same_v<decltype(&GetMaxSignatureLength), GetMaxSignatureLengthFn>);
static_assert(std::is_same_v<decltype(&SignData), SignDataFn>);
static_assert(std::is_same_v<decltype(&GetMaxEncodeAddition), GetMaxEncodeAdditionFn>);
static_assert(std::is_same_v<decltype(&EncodeData), EncodeDataFn>);
static_assert(std::is_same_v<decltype(&GetMaxUIDLength), GetMaxUIDLengthFn>);
static_assert(std::is_same_v<decltype(&DecodeData), DecodeDataFn>);
