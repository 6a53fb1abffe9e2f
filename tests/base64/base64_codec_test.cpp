#include "base64/base64_codec.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::base64 {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The decoder written the plain way: copy the text up to its NUL without the dropped
// controls, then read the groups character by character.
template <typename CharT>
std::optional<std::string> DecodeThePlainWay(std::basic_string_view<CharT> text) {
  std::vector<unsigned> work;
  for (CharT unit : text) {
    const auto code = static_cast<std::make_unsigned_t<CharT>>(unit);
    if (code == 0) break;
    if (code >= 7 && code <= 13) continue;
    work.push_back(code);
  }
  const auto value = [](unsigned code) -> int {
    const auto at = code < 128 ? kAlphabet.find(static_cast<char>(code)) : std::string_view::npos;
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
  };
  std::string bytes;
  std::size_t j = 0;
  const std::size_t n = work.size();
  const auto take = [&](bool& last) {
    unsigned c = work[j++];
    while (c == ' ' && j < n) c = work[j++];
    last = j == n;
    return c;
  };
  while (j < n) {
    bool last = false;
    const unsigned c1 = take(last);
    if (last) break;
    const unsigned c2 = take(last);
    if (last) return std::nullopt;
    const unsigned c3 = take(last);
    if (last) return std::nullopt;
    const unsigned c4 = take(last);
    const int v1 = value(c1), v2 = value(c2), v3 = value(c3), v4 = value(c4);
    if (v1 < 0 || v2 < 0) return std::nullopt;
    bytes += static_cast<char>((v1 << 2) | (v2 >> 4));
    if (c3 == '=') continue;
    if (v3 < 0) return std::nullopt;
    bytes += static_cast<char>((v2 << 4) | (v3 >> 2));
    if (c4 == '=') continue;
    if (v4 < 0) return std::nullopt;
    bytes += static_cast<char>((v3 << 6) | v4);
  }
  return bytes;
}

template <typename CharT>
std::optional<std::string> DecodeWithCodec(std::basic_string_view<CharT> text) {
  std::vector<uint8_t> out(text.size() + 1);
  const auto written = Decode(text, out.data());
  if (!written) return std::nullopt;
  return std::string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(*written));
}

// Texts of whole groups with all sorts of characters strewn among them, so that long and
// short runs of clean groups and character-by-character reading alternate in every way.
template <typename CharT>
std::basic_string<CharT> StrewnText(std::mt19937& random, std::basic_string_view<CharT> strewn) {
  std::uniform_int_distribution<std::size_t> letter(0, 63);
  std::uniform_int_distribution<std::size_t> pick(0, strewn.size() - 1);
  std::uniform_int_distribution<int> kind(0, 15);
  std::uniform_int_distribution<int> pieces(0, 40);
  std::basic_string<CharT> text;
  for (int piece = pieces(random); piece > 0; --piece) {
    if (kind(random) < 13) {
      for (int k = 0; k < 4; ++k) text += static_cast<CharT>(kAlphabet[letter(random)]);
    } else {
      text += strewn[pick(random)];
    }
  }
  return text;
}

TEST(Base64CodecTest, DecodesLikeThePlainReadingOfTheGroups) {
  std::mt19937 random(7);
  const std::string_view narrowStrewn("Q=== \r\n\t\a\x0e!\x80\xC4\x00", 14);
  // Among the wide units: low bytes that read as a letter, a line break or a blank, and
  // units from 0x8000 on, which are negative as signed 16-bit numbers.
  const std::u16string_view wideStrewn(
      u"Q=== \r\n\t\a\x0e!\x80\u0141\u010A\u0120\u0100\u8041\uFFFF\x00", 19);
  for (int round = 0; round < 20000; ++round) {
    const std::string narrow = StrewnText<char>(random, narrowStrewn);
    ASSERT_EQ(DecodeWithCodec<char>(narrow), DecodeThePlainWay<char>(narrow)) << narrow;
    const std::u16string wide = StrewnText<char16_t>(random, wideStrewn);
    ASSERT_EQ(DecodeWithCodec<char16_t>(wide), DecodeThePlainWay<char16_t>(wide)) << round;
  }
}

// Every possible character, put where a long run is decoded in blocks, where whole
// groups are decoded one by one, and in a last group, is judged as the plain reading
// judges it.
TEST(Base64CodecTest, EveryCharacterDecodesAsThePlainReading) {
  std::u16string clean;
  for (std::size_t k = 0; k < 136; ++k) clean += static_cast<char16_t>(kAlphabet[(k * 7) % 64]);
  for (std::size_t at : {5u, 37u, 130u, 135u}) {
    for (uint32_t code = 0; code <= 0xFFFF; ++code) {
      std::u16string wide = clean;
      wide[at] = static_cast<char16_t>(code);
      ASSERT_EQ(DecodeWithCodec<char16_t>(wide), DecodeThePlainWay<char16_t>(wide))
          << "unit " << code << " at " << at;
      if (code > 0xFF) continue;
      const std::string narrow(wide.begin(), wide.end());
      ASSERT_EQ(DecodeWithCodec<char>(narrow), DecodeThePlainWay<char>(narrow))
          << "byte " << code << " at " << at;
    }
  }
}

// 8-bit text with bytes above 0x7F: they have no value, whatever the sign of char.
TEST(Base64CodecTest, HighBytesHaveNoValue) {
  uint8_t out[8] = {};
  EXPECT_FALSE(Decode(std::string_view("QUJ\xC4"), out));
  EXPECT_FALSE(Decode(std::string_view("\xFFUJD"), out));
  EXPECT_FALSE(Decode(std::string_view("QUJD\xC1\xC2\xC3\xC4"), out));
  EXPECT_EQ(Decode(std::string_view("QQ=\xC4"), out), 1u);

  std::string longText;
  for (int k = 0; k < 32; ++k) longText += "QUJD";
  std::vector<uint8_t> longOut(longText.size());
  for (std::size_t at : {0u, 5u, 31u, 40u, 127u}) {
    std::string broken = longText;
    broken[at] = '\xC4';
    EXPECT_FALSE(Decode(broken, longOut.data())) << at;
  }
}

TEST(Base64CodecTest, NarrowAndWideEncodersWriteExactlyTheText) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::size_t length = 0; length <= 40; ++length) {
    std::vector<uint8_t> data(length);
    for (auto& b : data) b = static_cast<uint8_t>(byte(random));
    // Buffers of exactly the text's length, so a stray write shows under the sanitizer.
    std::vector<char> narrow(EncodedLength(length));
    std::vector<char16_t> wide(EncodedLength(length));
    EncodeTo(data.data(), length, narrow.data());
    EncodeTo(data.data(), length, wide.data());
    ASSERT_EQ(std::u16string(narrow.begin(), narrow.end()),
              std::u16string(wide.begin(), wide.end()));
    std::vector<uint8_t> back(narrow.size());
    ASSERT_EQ(Decode(std::string_view(narrow.data(), narrow.size()), back.data()), length);
    back.resize(length);
    EXPECT_EQ(back, data);
  }
}

}  // namespace
}  // namespace quillora::base64
