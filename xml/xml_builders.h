// Builders of hand-written XML: the proposal document and its signature tail are put
// together line by line from these, and the pre-sign sequence uses the length field.
#pragma once

#include <cstdint>

#include "xml/text_conversion.h"

namespace quillora {

// "&", the double quote, the single quote, "<" and ">" as entity references, in one
// pass; an existing reference is escaped again (&lt; gives &amp;lt;).
Text XmlEscape(std::string_view text);

// level tabs, <name>, escaped value, </name>, line feed; the empty text for an empty
// value, so the element is left out altogether.
Text XmlElementLine(int32_t level, std::string_view name, std::string_view value);

// level tabs, "<", name, a blank and the attribute text when there is one, ">", line feed.
Text XmlOpenTagLine(int32_t level, std::string_view name, std::string_view attributes);

// level tabs, "</", name, ">", line feed.
Text XmlCloseTagLine(int32_t level, std::string_view name);

// The number in upper-case hexadecimal, no prefix or leading zeros, then "|".
Text HexLengthField(int32_t n);

}  // namespace quillora
