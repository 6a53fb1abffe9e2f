// The alphabet and the decode table, built at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillora::base64::detail {

inline constexpr char kAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
inline constexpr char kPad = '=';
inline constexpr uint8_t kNoValue = 0xFF;

// The value of each character code below 128; kNoValue for codes outside the alphabet,
// the pad included.
inline constexpr std::array<uint8_t, 128> kDecodeTable = [] {
  std::array<uint8_t, 128> table{};
  table.fill(kNoValue);
  for (std::size_t k = 0; k < 64; ++k) table[static_cast<unsigned char>(kAlphabet[k])] = k;
  return table;
}();

// Any code of 128 or more falls outside the table and has no value.
constexpr uint8_t ValueOf(unsigned code) {
  return code < 128 ? kDecodeTable[code] : kNoValue;
}

}  // namespace quillora::base64::detail
