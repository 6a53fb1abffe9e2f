// The borders between the system's 8-bit Windows-1251 text and its wide neighbours:
// UTF-16 (automation strings, the Base64 encoder) and UTF-8 (the XML parser's own
// representation, and the command line's --utf8 mode).
#pragma once

#include <string>
#include <string_view>

namespace quillora {

// Text of the system: Windows-1251 bytes, one byte per character.
using Text = std::string;

// Every byte becomes the UTF-16 unit of the same Windows-1251 character; the result has
// exactly as many units as the text has bytes. Byte 152, which the code page leaves
// undefined, maps to U+0098 and back.
std::u16string AnsiToWide(std::string_view text);

// Converts up to the first zero unit; a null text gives the empty text. A character
// Windows-1251 cannot represent becomes "?" (a surrogate pair counts as one character).
Text WideToAnsi(const char16_t* text);
Text WideToAnsi(std::u16string_view text);

// The same characters in UTF-8, for the XML parser and for terminals.
std::string AnsiToUtf8(std::string_view text);
// UTF-8 back to Windows-1251; characters outside the code page, and bytes that are not
// valid UTF-8, become "?".
Text Utf8ToAnsi(std::string_view utf8);

// The Windows-1251 byte of one Unicode character, or '?' when it has none.
char UnicodeToAnsi(char32_t ch);

}  // namespace quillora
