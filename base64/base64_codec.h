// Base64 over bytes with the standard alphabet and "=" as pad: the codec behind the
// Sorlit library, usable on its own. Texts are 8-bit or UTF-16; either way every
// character of a valid text is ASCII.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillora::base64 {

// Characters in the text of `byteCount` bytes: four for every three, the last group
// padded to four.
constexpr std::size_t EncodedLength(std::size_t byteCount) {
  return (byteCount + 2) / 3 * 4;
}

// Writes the EncodedLength(length) characters of the text of `data` to `text`, without
// a terminator and without line breaks.
void EncodeTo(const uint8_t* data, std::size_t length, char* text) noexcept;
void EncodeTo(const uint8_t* data, std::size_t length, char16_t* text) noexcept;

// Decodes `text` into `out` and returns the number of bytes written, or nothing when the
// text is not Base64. `out` must hold as many bytes as the text has characters.
//
// The text ends at its first NUL. BEL, BS, TAB, LF, VT, FF and CR are dropped anywhere;
// blanks are skipped inside a group, except that the last character of the text always
// counts as one. Groups of four give three bytes; "=" third ends a group after one byte
// whatever stands fourth, "=" fourth after two, and decoding goes on after a padded
// group, so concatenated texts give concatenated bytes. A lone character at the end is
// ignored; a text that ends after the second or third character of a group fails, and
// so does a character whose value is needed but that has none (outside the alphabet,
// "=" first or second, any code above 0x7F). On failure `out` may already hold the bytes
// of the groups before the fault.
std::optional<std::size_t> Decode(std::string_view text, uint8_t* out) noexcept;
std::optional<std::size_t> Decode(std::u16string_view text, uint8_t* out) noexcept;

}  // namespace quillora::base64
