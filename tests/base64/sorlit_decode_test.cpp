#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/base64/sorlit_library.h"

namespace quillora::base64::testing {
namespace {

struct DecodeCase {
  std::u16string text;
  int32_t result;
  std::string bytes;  // on success
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
  *os << "text \"";
  for (char16_t unit : c.text) {
    if (unit >= 0x20 && unit < 0x7F) {
      *os << static_cast<char>(unit);
    } else {
      *os << "\\u" << std::hex << static_cast<unsigned>(unit) << std::dec;
    }
  }
  *os << "\"";
}

class SorlitDecodeTest : public SorlitLibraryTest,
                         public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(SorlitDecodeTest, DecodesAsTheGroupsDictate) {
  const DecodeCase& c = GetParam();
  const Decoded decoded = Decode(c.text);
  ASSERT_EQ(decoded.result, c.result);
  if (c.result == 1) {
    EXPECT_EQ(decoded.bytes, c.bytes);
  } else {
    EXPECT_EQ(decoded.outLen, kUntouched) << "a failure must leave the length alone";
  }
}

std::u16string WithNul(std::u16string before, std::u16string after) {
  return before + u'\0' + after;
}

INSTANTIATE_TEST_SUITE_P(
    Valid, SorlitDecodeTest,
    ::testing::Values(
        DecodeCase{u"QUJD", 1, "ABC"}, DecodeCase{u"QQ==", 1, "A"}, DecodeCase{u"QUI=", 1, "AB"},
        DecodeCase{u"YWJj", 1, "abc"}, DecodeCase{u"AA==", 1, std::string(1, '\0')},
        DecodeCase{u"+/8=", 1, "\xFB\xFF"},
        // A pad third ends the group whatever stands fourth.
        DecodeCase{u"QQ=A", 1, "A"}, DecodeCase{u"QQ=\u00C0", 1, "A"},
        // Concatenated texts decode to concatenated bytes.
        DecodeCase{u"QQ==QUJD", 1, "AABC"}, DecodeCase{u"QUI=QQ==YWJj", 1, "ABAabc"},
        // A lone character at the end adds nothing, whatever it is.
        DecodeCase{u"QUJDQ", 1, "ABC"}, DecodeCase{u"QUJD=", 1, "ABC"},
        DecodeCase{u"QUJD!", 1, "ABC"}, DecodeCase{u"Q", 1, ""},
        // Line breaks and the other dropped controls count for nothing, anywhere.
        DecodeCase{u"QUJD\r\n", 1, "ABC"}, DecodeCase{u"QUJD\r\nQUJD\r\n", 1, "ABCABC"},
        DecodeCase{u"Q\aU\bJ\tD\v\f\r\n", 1, "ABC"}, DecodeCase{u"QUJ\r\n", 0, ""},
        DecodeCase{u"QUJDQ\r\n\r\n", 1, "ABC"},
        // Blanks are skipped inside and around groups.
        DecodeCase{u"Q U J D", 1, "ABC"}, DecodeCase{u"  QUJD  ", 1, "ABC"},
        DecodeCase{u"QUI =", 1, "AB"}, DecodeCase{u"QU =A", 1, "A"},
        // Nothing to decode.
        DecodeCase{u"", 1, ""}, DecodeCase{u"\r\n", 1, ""}, DecodeCase{u"   ", 1, ""},
        // The text ends at its first NUL.
        DecodeCase{WithNul(u"QUJD", u"QUJD"), 1, "ABC"}, DecodeCase{WithNul(u"", u"QUJD"), 1, ""},
        DecodeCase{WithNul(u"QU", u"JD"), 0, ""}));

INSTANTIATE_TEST_SUITE_P(
    Truncated, SorlitDecodeTest,
    ::testing::Values(DecodeCase{u"QUI", 0, ""}, DecodeCase{u"QQ", 0, ""},
                      DecodeCase{u"QUJDQU", 0, ""}, DecodeCase{u"QUJDQUJ", 0, ""},
                      // The blank is the last character and so the third of the group.
                      DecodeCase{u"QU ", 0, ""}, DecodeCase{u"QU \r\n", 0, ""}));

// A character whose value a byte needs but that has none fails the whole text instead of
// being looked up outside the decode table.
INSTANTIATE_TEST_SUITE_P(
    WithoutValue, SorlitDecodeTest,
    ::testing::Values(DecodeCase{u"QU!D", 0, ""}, DecodeCase{u"QUJ-", 0, ""},
                      DecodeCase{u"=QUJ", 0, ""}, DecodeCase{u"Q=JD", 0, ""},
                      DecodeCase{u"==QU", 0, ""}, DecodeCase{u"QUJ ", 0, ""},
                      DecodeCase{u"QUJ\x7F", 0, ""}, DecodeCase{u"QUJ\x01", 0, ""},
                      DecodeCase{u"QUJ\x06", 0, ""}, DecodeCase{u"QUJ\x0E", 0, ""},
                      DecodeCase{u"QUJ\u00C0", 0, ""}, DecodeCase{u"QU\u0416D", 0, ""},
                      DecodeCase{u"QUJ\uFFFF", 0, ""},
                      // Wide units whose low byte is a letter, a line break or a blank.
                      DecodeCase{u"QUJ\u0144", 0, ""}, DecodeCase{u"QU\u010AJD", 0, ""},
                      DecodeCase{u"QU\u0120JD", 0, ""}, DecodeCase{u"QUJDQUJ\u0144", 0, ""},
                      DecodeCase{u"QUJD\r\nQU*D", 0, ""}));

using SorlitDecodeArgumentsTest = SorlitLibraryTest;

TEST_F(SorlitDecodeArgumentsTest, NullTextIsEmpty) {
  unsigned char out[4] = {};
  int32_t outLen = kUntouched;
  EXPECT_EQ(decode_(nullptr, out, &outLen), 1);
  EXPECT_EQ(outLen, 0);
}

TEST_F(SorlitDecodeArgumentsTest, MissingBuffersFailWithoutWriting) {
  platform::AutomationString text = platform::MakeAutomationString(u"QUJD");
  platform::AutomationString empty = platform::MakeAutomationString(u"");
  unsigned char out[4] = {};
  int32_t outLen = kUntouched;
  EXPECT_EQ(decode_(text.get(), out, nullptr), 0);
  EXPECT_EQ(decode_(text.get(), nullptr, &outLen), 0);
  EXPECT_EQ(outLen, kUntouched);
  // A text too short to hold a byte needs no buffer.
  EXPECT_EQ(decode_(empty.get(), nullptr, &outLen), 1);
  EXPECT_EQ(outLen, 0);
}

// A fault far into a long text fails it, whether decoding reaches it in one run of whole
// groups or after a line break has made it read a group character by character.
TEST_F(SorlitDecodeArgumentsTest, FaultDeepInLongTextFails) {
  std::u16string clean;
  for (int k = 0; k < 2000; ++k) clean += u"QUJD";
  struct {
    std::u16string text;
    int32_t bytes;
  } texts[] = {{clean, 6000}, {clean.substr(0, 100) + u"\r\n" + clean, 6075}};
  for (auto& [text, bytes] : texts) {
    const Decoded good = Decode(text);
    ASSERT_EQ(good.result, 1);
    EXPECT_EQ(good.outLen, bytes);
    for (char16_t bad : {u'*', u'\u0141', u'\u0100', u'\u8041'}) {
      text[6001] = bad;
      const Decoded decoded = Decode(text);
      EXPECT_EQ(decoded.result, 0) << static_cast<unsigned>(bad);
      EXPECT_EQ(decoded.outLen, kUntouched);
    }
  }
}

// The decoder writes only the bytes it reports.
TEST_F(SorlitDecodeArgumentsTest, WritesNothingPastTheReportedBytes) {
  for (const std::u16string text : {u"QQ==", u"QQ=A", u"QUI=", u"QUJDQ", u"QUJD\r\n  "}) {
    platform::AutomationString string = platform::MakeAutomationString(text);
    std::vector<unsigned char> out(text.size(), 0xAA);
    int32_t outLen = kUntouched;
    ASSERT_EQ(decode_(string.get(), out.data(), &outLen), 1);
    for (std::size_t k = static_cast<std::size_t>(outLen); k < out.size(); ++k) {
      EXPECT_EQ(out[k], 0xAA) << "byte " << k << " of a text of " << text.size();
    }
  }
}

}  // namespace
}  // namespace quillora::base64::testing
