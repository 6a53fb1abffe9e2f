#include <gtest/gtest.h>

#include <string>

#include "tests/base64/sorlit_library.h"

namespace quillora::base64::testing {
namespace {

using SorlitEncodeTest = SorlitLibraryTest;

TEST_F(SorlitEncodeTest, EncodesWithPadding) {
  const struct {
    std::string bytes;
    std::string text;
  } cases[] = {
      {"A", "QQ=="},
      {"AB", "QUI="},
      {"ABC", "QUJD"},
      {"abc", "YWJj"},
      {std::string(1, '\0'), "AA=="},
      {"\xFB\xFF", "+/8="},
      {"\xFF\xFF\xFF", "////"},
      {"ABCABCA", "QUJDQUJDQQ=="},
  };
  for (const auto& c : cases) EXPECT_EQ(Encode(c.bytes), c.text) << c.bytes;
}

TEST_F(SorlitEncodeTest, NothingToEncodeGivesNull) {
  const unsigned char byte = 'A';
  EXPECT_EQ(encode_(&byte, 0), nullptr);
  EXPECT_EQ(encode_(&byte, -1), nullptr);
  EXPECT_EQ(encode_(nullptr, 1), nullptr);
}

}  // namespace
}  // namespace quillora::base64::testing
