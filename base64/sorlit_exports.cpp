// The entry points of the Sorlit library over the Base64 codec.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "base64/base64_codec.h"
#include "base64/sorlit_api.h"

namespace {

namespace platform = quillora::platform;

// One per loaded copy of the library, made when it is loaded; nothing changes it.
struct SorlitModule {
  int32_t lastError = 0;
};
constinit SorlitModule theModule;

}  // namespace

platform::BSTR BASE64Encode(const unsigned char* data, int32_t len) {
  if (data == nullptr || len <= 0) return nullptr;
  const std::size_t length = quillora::base64::EncodedLength(static_cast<std::size_t>(len));
  if (length > std::numeric_limits<uint32_t>::max()) return nullptr;
  // The text is written straight into the string: every character is ASCII, so each one
  // is one wide unit.
  platform::BSTR text = platform::AllocStringForWriting(static_cast<uint32_t>(length));
  if (text == nullptr) return nullptr;
  quillora::base64::EncodeTo(data, static_cast<std::size_t>(len), text);
  return text;
}

int32_t BASE64Decode(const char16_t* text, unsigned char* out, int32_t* outLen) {
  if (outLen == nullptr) return 0;
  const std::u16string_view units = platform::StringView(text);
  // A byte takes four characters at the least, so without a buffer only a shorter text
  // can decode (to nothing).
  if (out == nullptr && units.size() >= 4) return 0;
  const auto written = quillora::base64::Decode(units, out);
  if (!written) return 0;
  // Never more bytes than characters, and a string holds fewer than 2^31 characters.
  *outLen = static_cast<int32_t>(*written);
  return 1;
}

int32_t LastError(void) {
  return theModule.lastError;
}

platform::HRESULT DllGetClassObject(const platform::GUID*, const platform::GUID*, void** out) {
  if (out != nullptr) *out = nullptr;
  return platform::CLASS_E_CLASSNOTAVAILABLE;
}

platform::HRESULT DllCanUnloadNow(void) {
  return platform::S_OK;
}

platform::HRESULT DllRegisterServer(void) {
  return platform::S_OK;
}
