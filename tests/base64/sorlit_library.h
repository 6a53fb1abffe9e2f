// The Sorlit library as the control uses it: loaded from the build's output directory by
// file name, its exports bound by name.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base64/sorlit_api.h"
#include "platform/automation_string.h"
#include "platform/dynamic_library.h"

namespace quillora::base64::testing {

class SorlitLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = platform::DynamicLibrary(std::string(QUILLORA_BIN_DIR "/") + kSorlitFileName);
    ASSERT_TRUE(library_.IsLoaded()) << library_.LoadError();
    encode_ = library_.Bind<Base64EncodeFn>(kEncodeExport);
    decode_ = library_.Bind<Base64DecodeFn>(kDecodeExport);
    ASSERT_NE(encode_, nullptr);
    ASSERT_NE(decode_, nullptr);
  }

  // The text of `bytes` as 8-bit characters; "<null>" when the library returns no string.
  std::string Encode(std::string_view bytes) const {
    platform::AutomationString text(encode_(reinterpret_cast<const unsigned char*>(bytes.data()),
                                            static_cast<int32_t>(bytes.size())));
    if (!text) return "<null>";
    std::string narrow;
    for (char16_t unit : platform::StringView(text.get())) {
      EXPECT_LT(unit, 0x80) << "non-ASCII unit in the encoded text";
      narrow.push_back(static_cast<char>(unit));
    }
    return narrow;
  }

  struct Decoded {
    int32_t result;
    int32_t outLen;  // kUntouched when the library did not write it
    std::string bytes;
  };
  static constexpr int32_t kUntouched = -12345;

  // Decodes `text` given as an automation string into a buffer of exactly as many bytes
  // as the text has characters, as the callers allocate it.
  Decoded Decode(std::u16string_view text) const {
    platform::AutomationString string = platform::MakeAutomationString(text);
    return DecodeString(string.get(), text.size());
  }

  Decoded DecodeString(const char16_t* text, std::size_t units) const {
    std::vector<unsigned char> out(units);
    Decoded decoded{0, kUntouched, {}};
    decoded.result = decode_(text, out.data(), &decoded.outLen);
    if (decoded.result == 1 && decoded.outLen >= 0 &&
        static_cast<std::size_t>(decoded.outLen) <= out.size()) {
      decoded.bytes.assign(out.begin(), out.begin() + decoded.outLen);
    }
    return decoded;
  }

  platform::DynamicLibrary library_;
  Base64EncodeFn encode_ = nullptr;
  Base64DecodeFn decode_ = nullptr;
};

// An ASCII text as the wide string the library takes.
inline std::u16string Wide(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace quillora::base64::testing
