// A Base64 library for the tests: the system's codec behind the two exports the control
// binds, with every load, call and unload appended to $QUILLORA_TEST_ENGINE_LOG (the
// log the fake engine writes too, so the order across both shows). The failure to show
// is chosen by $QUILLORA_TEST_BASE64_MODE: "encode-null", "decode-fail" or
// "decode-overlong" (claims to have filled the whole buffer). Built without the decoder
// when TEST_BASE64_WITHOUT_DECODE is defined.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base64/base64_codec.h"
#include "platform/automation_string.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

namespace platform = quillora::platform;

__attribute__((format(printf, 1, 2))) void Log(const char* format, ...) {
  const char* path = std::getenv("QUILLORA_TEST_ENGINE_LOG");
  if (path == nullptr || path[0] == '\0') return;
  FILE* file = std::fopen(path, "a");
  if (file == nullptr) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(file, format, args);
  va_end(args);
  std::fputc('\n', file);
  std::fclose(file);
}

bool Mode(const char* word) {
  const char* mode = std::getenv("QUILLORA_TEST_BASE64_MODE");
  return mode != nullptr && std::strcmp(mode, word) == 0;
}

__attribute__((constructor)) void Loaded() {
  Log("base64 load");
}
__attribute__((destructor)) void Unloaded() {
  Log("base64 unload");
}

}  // namespace

EXPORT platform::BSTR BASE64Encode(const unsigned char* data, int32_t len) {
  Log("base64 encode %d", static_cast<int>(len));
  if (Mode("encode-null") || data == nullptr || len <= 0) return nullptr;
  const auto length = quillora::base64::EncodedLength(static_cast<std::size_t>(len));
  platform::BSTR text = platform::AllocString(nullptr, static_cast<uint32_t>(length));
  if (text != nullptr) quillora::base64::EncodeTo(data, static_cast<std::size_t>(len), text);
  return text;
}

#ifndef TEST_BASE64_WITHOUT_DECODE
EXPORT int32_t BASE64Decode(const char16_t* text, unsigned char* out, int32_t* outLen) {
  const auto units = platform::StringView(text);
  Log("base64 decode %d", static_cast<int>(units.size()));
  if (Mode("decode-fail")) return 0;
  const auto written = quillora::base64::Decode(units, out);
  if (!written) return 0;
  *outLen =
      Mode("decode-overlong") ? static_cast<int32_t>(units.size()) : static_cast<int32_t>(*written);
  return 1;
}
#endif
