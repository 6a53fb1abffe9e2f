// Code-page conversion and the builders of hand-written XML.
#include <gtest/gtest.h>
#include <iconv.h>

#include <climits>
#include <string>

#include "xml/text_conversion.h"
#include "xml/xml_builders.h"

namespace quillora {
namespace {

// The character of one byte by the system's iconv, or 0 when iconv has none.
char32_t IconvCharacter(unsigned char byte) {
  iconv_t cd = iconv_open("UTF-32LE", "CP1251");
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char in[1] = {static_cast<char>(byte)};
  unsigned char out[4] = {};
  char* inPtr = in;
  char* outPtr = reinterpret_cast<char*>(out);
  size_t inLeft = 1, outLeft = 4;
  const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1)) return 0;
  return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

std::string AllBytes() {
  std::string bytes;
  for (int b = 1; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

TEST(CodePageTest, TableMatchesIconv) {
  for (int b = 1; b < 256; ++b) {
    if (b == 0x98) continue;  // the code page leaves it undefined
    const char32_t expected = IconvCharacter(static_cast<unsigned char>(b));
    ASSERT_NE(expected, 0u) << "iconv has no CP1251 character for " << b;
    const std::u16string wide = AnsiToWide(std::string(1, static_cast<char>(b)));
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(static_cast<char32_t>(wide[0]), expected) << "byte " << b;
    EXPECT_EQ(UnicodeToAnsi(expected), static_cast<char>(b)) << "byte " << b;
  }
}

TEST(CodePageTest, EveryByteSurvivesBothRoundTrips) {
  const std::string bytes = AllBytes();
  const std::u16string wide = AnsiToWide(bytes);
  EXPECT_EQ(wide.size(), bytes.size());
  EXPECT_EQ(WideToAnsi(wide), bytes);
  EXPECT_EQ(WideToAnsi(wide.c_str()), bytes);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(bytes)), bytes);
  EXPECT_EQ(AnsiToUtf8("\xC6\xB9\x88"), "Ж№€");
  EXPECT_EQ(AnsiToUtf8("\x98"), "\u0098");
}

TEST(CodePageTest, WideTextOutsideTheCodePage) {
  const struct {
    std::u16string wide;
    std::string text;
  } cases[] = {
      {u"\u4E2D", "?"},
      {u"a\U0001F600b", "a?b"},  // a surrogate pair is one character
      {u"\xD800x", "?x"},        // a lone surrogate
      {u"\u20AC\u0416", "\x88\xC6"},
      {std::u16string(u"ab\0cd", 5), "ab"},  // up to the first zero unit
  };
  for (const auto& c : cases) EXPECT_EQ(WideToAnsi(c.wide), c.text);
  EXPECT_EQ(WideToAnsi(static_cast<const char16_t*>(nullptr)), "");
}

// Whatever is not valid UTF-8 becomes "?", and never a zero byte.
TEST(CodePageTest, InvalidUtf8BecomesQuestionMarks) {
  const struct {
    std::string utf8;
    std::string text;
  } cases[] = {
      {"\xC0\x80", "?"},          // over-long zero
      {"\xC1\xBF", "?"},          // over-long DEL
      {"\xE0\x80\xAF", "?"},      // over-long "/"
      {"\xF0\x82\x82\xAC", "?"},  // over-long euro sign
      {"\xF4\x90\x80\x80", "?"},  // past U+10FFFF
      {"\xED\xA0\x80", "?"},      // an encoded surrogate
      {"a\xD0", "a?"},            // cut short
      {"\x80z", "?z"},            // a stray continuation byte
      {"\xD0z", "?z"},            // a lead byte without its continuation
      {"\xF0\x9F\x98\x80", "?"},  // outside the code page
      {"\xE2\x82\xAC\xD0\x96", "\x88\xC6"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToAnsi(c.utf8), c.text) << c.utf8;
}

TEST(BuilderTest, Escape) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"a<b", "a&lt;b"},
      {"&lt;", "&amp;lt;"},
      {"\"q\" 'a'", "&quot;q&quot; &apos;a&apos;"},
      {"x>y&z", "x&gt;y&amp;z"},
      {"\t\n\xC6\x98", "\t\n\xC6\x98"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(XmlEscape(c.in), c.out) << c.in;
}

TEST(BuilderTest, MarkupLines) {
  const struct {
    std::string line, expected;
  } cases[] = {
      {XmlElementLine(4, "LotID", ""), ""},
      {XmlElementLine(4, "LotID", "7"), "\t\t\t\t<LotID>7</LotID>\n"},
      {XmlElementLine(0, "NM", "a<b"), "<NM>a&lt;b</NM>\n"},
      {XmlElementLine(-2, "NM", "x"), "<NM>x</NM>\n"},
      {XmlOpenTagLine(3, "PUBLIC", ""), "\t\t\t<PUBLIC>\n"},
      {XmlOpenTagLine(1, "DOC", "TS='01/02/2003' TYPE='offer'"),
       "\t<DOC TS='01/02/2003' TYPE='offer'>\n"},
      {XmlOpenTagLine(0, "A", "v='<&'"), "<A v='<&'>\n"},  // taken verbatim
      {XmlCloseTagLine(2, "ZARN_ROOT"), "\t\t</ZARN_ROOT>\n"},
      {XmlCloseTagLine(-1, "A"), "</A>\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.line, c.expected);
}

TEST(BuilderTest, HexLengthField) {
  const struct {
    int32_t n;
    std::string field;
  } cases[] = {{0, "0|"}, {10, "A|"}, {255, "FF|"}, {4096, "1000|"}, {INT32_MAX, "7FFFFFFF|"}};
  for (const auto& c : cases) EXPECT_EQ(HexLengthField(c.n), c.field) << c.n;
}

}  // namespace
}  // namespace quillora
