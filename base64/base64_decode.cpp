#include <array>
#include <type_traits>

#include "base64/base64_codec.h"
#include "base64/base64_decode_blocks.h"
#include "base64/base64_tables.h"

namespace quillora::base64 {
namespace {

using detail::kNoValue;
using detail::kPad;
using detail::ValueOf;

// For runs of whole groups: the value of a character already shifted to its place in
// the 24 bits of a group, one table per place, with kNoValueBit for characters that have
// none, so one OR tells both the bits and whether all four are valid.
constexpr uint32_t kNoValueBit = 0x80000000u;
constexpr std::array<std::array<uint32_t, 128>, 4> kPlacedValues = [] {
  std::array<std::array<uint32_t, 128>, 4> tables{};
  for (std::size_t place = 0; place < 4; ++place) {
    for (std::size_t code = 0; code < 128; ++code) {
      const uint8_t value = detail::kDecodeTable[code];
      tables[place][code] =
          value == detail::kNoValue ? kNoValueBit : uint32_t{value} << (18 - 6 * place);
    }
  }
  return tables;
}();

constexpr unsigned kBlank = ' ';
// Stands for every code above 0x7F: none of them has a value, and folding them into one
// code keeps a wide unit from ever reading as a control character, blank or pad.
constexpr unsigned kOutsideAscii = 0x80;

template <typename CharT>
constexpr unsigned CodeOf(CharT unit) {
  const auto code = static_cast<std::make_unsigned_t<CharT>>(unit);
  return code < 0x80 ? code : kOutsideAscii;
}

// BEL, BS, TAB, LF, VT, FF and CR are not part of the text at all.
constexpr bool IsDropped(unsigned code) {
  return code >= 7 && code <= 13;
}

// Decodes groups of four alphabet characters from `pos` as long as they last, and leaves
// `pos` at the first group holding anything else (a pad, a blank, a dropped character, a
// NUL, a character without value) or fewer than four characters. Such groups decode the
// same whatever follows, so this is the whole work for most texts; long runs go to the
// vector unit first where the processor has one.
template <typename CharT>
std::size_t DecodeWholeGroups(const CharT* text, std::size_t& pos, std::size_t end, uint8_t* out) {
  const auto& placed = kPlacedValues;
  uint8_t* const start = out;
  out += detail::DecodeBlocks(text, pos, end, out);
  std::size_t j = pos;
  while (end - j >= 4) {
    const auto u0 = static_cast<std::make_unsigned_t<CharT>>(text[j]);
    const auto u1 = static_cast<std::make_unsigned_t<CharT>>(text[j + 1]);
    const auto u2 = static_cast<std::make_unsigned_t<CharT>>(text[j + 2]);
    const auto u3 = static_cast<std::make_unsigned_t<CharT>>(text[j + 3]);
    if ((u0 | u1 | u2 | u3) >= 0x80) break;
    const uint32_t bits = placed[0][u0] | placed[1][u1] | placed[2][u2] | placed[3][u3];
    if (bits & kNoValueBit) break;
    out[0] = static_cast<uint8_t>(bits >> 16);
    out[1] = static_cast<uint8_t>(bits >> 8);
    out[2] = static_cast<uint8_t>(bits);
    out += 3;
    j += 4;
  }
  pos = j;
  return static_cast<std::size_t>(out - start);
}

// Reads the characters of the groups one by one, skipping dropped characters and
// blanks, over a text whose last character (the one before `end`) is not a dropped one.
template <typename CharT>
class GroupReader {
 public:
  struct Character {
    unsigned code;
    bool last;  // the last character of the text
  };

  GroupReader(const CharT* text, std::size_t pos, std::size_t end)
      : text_(text), pos_(pos), end_(end) {}

  std::size_t& pos() { return pos_; }
  std::size_t end() const { return end_; }

  // Whether any character remains; leaves the position on it.
  bool SkipDropped() {
    while (pos_ < end_ && IsDropped(CodeOf(text_[pos_]))) ++pos_;
    return pos_ < end_;
  }

  // The next character, a blank taken only when nothing follows it. Call only while
  // SkipDropped() holds.
  Character Take() {
    SkipDropped();
    std::size_t at = pos_++;
    unsigned code = CodeOf(text_[at]);
    while (code == kBlank && at + 1 < end_) {
      SkipDropped();
      at = pos_++;
      code = CodeOf(text_[at]);
    }
    return {code, at + 1 == end_};
  }

 private:
  const CharT* text_;
  std::size_t pos_;
  std::size_t end_;
};

template <typename CharT>
std::optional<std::size_t> DecodeText(const CharT* text, std::size_t length, uint8_t* out) {
  std::size_t pos = 0;
  std::size_t written = DecodeWholeGroups(text, pos, length, out);
  if (pos == length) return written;

  // The text ends at its first NUL, and dropped characters at its end do not count: the
  // last remaining character decides how the final group ends.
  std::size_t end = pos;
  while (end < length && text[end] != 0) ++end;
  while (end > pos && IsDropped(CodeOf(text[end - 1]))) --end;

  GroupReader<CharT> reader(text, pos, end);
  while (reader.SkipDropped()) {
    const auto c1 = reader.Take();
    if (c1.last) break;  // a lone character at the end adds nothing
    const auto c2 = reader.Take();
    if (c2.last) return std::nullopt;
    const auto c3 = reader.Take();
    if (c3.last) return std::nullopt;
    const auto c4 = reader.Take();

    // A pad third ends the group after one byte whatever stands fourth; a pad fourth
    // ends it after two. Only the values the bytes are made of must exist.
    const bool third = c3.code != static_cast<unsigned>(kPad);
    const bool fourth = third && c4.code != static_cast<unsigned>(kPad);
    const unsigned v1 = ValueOf(c1.code);
    const unsigned v2 = ValueOf(c2.code);
    const unsigned v3 = third ? ValueOf(c3.code) : 0;
    const unsigned v4 = fourth ? ValueOf(c4.code) : 0;
    if (v1 == kNoValue || v2 == kNoValue || v3 == kNoValue || v4 == kNoValue) {
      return std::nullopt;
    }
    out[written++] = static_cast<uint8_t>((v1 << 2) | (v2 >> 4));
    if (third) out[written++] = static_cast<uint8_t>((v2 << 4) | (v3 >> 2));
    if (fourth) out[written++] = static_cast<uint8_t>((v3 << 6) | v4);

    written += DecodeWholeGroups(text, reader.pos(), reader.end(), out + written);
  }
  return written;
}

}  // namespace

std::optional<std::size_t> Decode(std::string_view text, uint8_t* out) noexcept {
  return DecodeText(text.data(), text.size(), out);
}

std::optional<std::size_t> Decode(std::u16string_view text, uint8_t* out) noexcept {
  return DecodeText(text.data(), text.size(), out);
}

}  // namespace quillora::base64
