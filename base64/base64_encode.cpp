#include <array>
#include <cstring>

#include "base64/base64_codec.h"
#include "base64/base64_tables.h"

namespace quillora::base64 {
namespace {

// The two characters of every 12-bit value, so three bytes take two lookups instead of
// four.
template <typename CharT>
constexpr std::array<std::array<CharT, 2>, 4096> kCharacterPairs = [] {
  std::array<std::array<CharT, 2>, 4096> pairs{};
  for (std::size_t bits = 0; bits < 4096; ++bits) {
    pairs[bits][0] = static_cast<CharT>(detail::kAlphabet[bits >> 6]);
    pairs[bits][1] = static_cast<CharT>(detail::kAlphabet[bits & 63]);
  }
  return pairs;
}();

template <typename CharT>
void EncodeText(const uint8_t* data, std::size_t length, CharT* text) {
  const auto& pairs = kCharacterPairs<CharT>;
  constexpr std::size_t kPairSize = sizeof(pairs[0]);
  std::size_t remaining = length;
  for (; remaining >= 3; remaining -= 3, data += 3, text += 4) {
    const uint32_t group = uint32_t{data[0]} << 16 | uint32_t{data[1]} << 8 | data[2];
    std::memcpy(text, pairs[group >> 12].data(), kPairSize);
    std::memcpy(text + 2, pairs[group & 0xFFF].data(), kPairSize);
  }
  if (remaining == 0) return;
  const uint32_t b0 = data[0];
  const uint32_t b1 = remaining == 2 ? data[1] : 0;
  text[0] = static_cast<CharT>(detail::kAlphabet[b0 >> 2]);
  text[1] = static_cast<CharT>(detail::kAlphabet[((b0 & 3) << 4) | (b1 >> 4)]);
  text[2] = static_cast<CharT>(remaining == 2 ? detail::kAlphabet[(b1 & 15) << 2] : detail::kPad);
  text[3] = static_cast<CharT>(detail::kPad);
}

}  // namespace

void EncodeTo(const uint8_t* data, std::size_t length, char* text) noexcept {
  EncodeText(data, length, text);
}

void EncodeTo(const uint8_t* data, std::size_t length, char16_t* text) noexcept {
  EncodeText(data, length, text);
}

}  // namespace quillora::base64
