#include "xml/text_conversion.h"

#include <array>
#include <cstdint>

namespace quillora {
namespace {

// Upper half of Windows-1251. 0x98 has no character in the code page; U+0098 keeps
// it reversible.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

constexpr char16_t ByteToUnit(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return static_cast<char16_t>(0x0410 + (byte - 0xC0));
  return kHigh[byte - 0x80];
}

struct Tables {
  std::array<char16_t, 256> toUnit{};
  // Reverse map over the basic plane; 0 marks "no byte" (U+0000 itself is never looked
  // up: conversions stop there).
  std::array<unsigned char, 0x10000> toByte{};
  std::array<std::array<char, 3>, 256> utf8{};  // UTF-8 of each byte, zero-filled
  std::array<unsigned char, 256> utf8Length{};

  Tables() {
    for (int b = 0; b < 256; ++b) {
      const char16_t unit = ByteToUnit(static_cast<unsigned char>(b));
      toUnit[b] = unit;
      if (b != 0) toByte[unit] = static_cast<unsigned char>(b);
      if (unit < 0x80) {
        utf8[b] = {static_cast<char>(unit), 0, 0};
        utf8Length[b] = 1;
      } else if (unit < 0x800) {
        utf8[b] = {static_cast<char>(0xC0 | (unit >> 6)), static_cast<char>(0x80 | (unit & 0x3F)),
                   0};
        utf8Length[b] = 2;
      } else {
        utf8[b] = {static_cast<char>(0xE0 | (unit >> 12)),
                   static_cast<char>(0x80 | ((unit >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (unit & 0x3F))};
        utf8Length[b] = 3;
      }
    }
  }
};

const Tables& TheTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

char UnicodeToAnsi(char32_t ch) {
  if (ch == 0) return 0;
  if (ch >= 0x10000) return '?';
  const unsigned char byte = TheTables().toByte[ch];
  return byte == 0 ? '?' : static_cast<char>(byte);
}

std::u16string AnsiToWide(std::string_view text) {
  const auto& t = TheTables();
  std::u16string wide(text.size(), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    wide[i] = t.toUnit[static_cast<unsigned char>(text[i])];
  return wide;
}

Text WideToAnsi(std::u16string_view text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit == 0) break;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;  // a pair stands for one character outside the code page
      out.push_back('?');
      continue;
    }
    out.push_back(UnicodeToAnsi(unit));
  }
  return out;
}

Text WideToAnsi(const char16_t* text) {
  if (text == nullptr) return Text();
  return WideToAnsi(std::u16string_view(text));
}

std::string AnsiToUtf8(std::string_view text) {
  const auto& t = TheTables();
  // Sized exactly first, so the text is written once and nothing is filled in vain.
  std::size_t size = 0;
  for (const char c : text) size += t.utf8Length[static_cast<unsigned char>(c)];
  std::string out(size, '\0');
  char* dst = out.data();
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      *dst++ = c;
      continue;
    }
    const auto& seq = t.utf8[b];
    const unsigned len = t.utf8Length[b];
    for (unsigned k = 0; k < len; ++k) *dst++ = seq[k];
  }
  return out;
}

Text Utf8ToAnsi(std::string_view utf8) {
  Text out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  const std::size_t n = utf8.size();
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(utf8[i]);
    if (b0 < 0x80) {
      out.push_back(static_cast<char>(b0));
      ++i;
      continue;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
      extra = 1;
      cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
      extra = 2;
      cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
      extra = 3;
      cp = b0 & 0x07;
    } else {
      out.push_back('?');
      ++i;
      continue;
    }
    bool valid = true;
    for (int k = 1; valid && k <= extra; ++k) {
      if (i + k >= n) {
        valid = false;
        break;
      }
      const auto bk = static_cast<unsigned char>(utf8[i + k]);
      if ((bk & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (bk & 0x3F);
    }
    if (!valid) {
      out.push_back('?');
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    // An over-long form (C0 80 would otherwise give a zero byte inside the text) and
    // anything past U+10FFFF is not valid UTF-8 either.
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[extra] || cp > 0x10FFFF) {
      out.push_back('?');
      continue;
    }
    out.push_back(UnicodeToAnsi(cp));
  }
  return out;
}

}  // namespace quillora
