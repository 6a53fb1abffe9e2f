// The pre-sign sequence: the character data of one element's subtree, each text node's
// bytes preceded by their length in hexadecimal and a bar. It is what gets signed, so
// whoever verifies rebuilds it byte for byte from the same document.
#pragma once

#include "platform/automation_string.h"
#include "xml/xml_document.h"

namespace quillora {

// The sequence of the first element named `startName` (the document element when the
// name is empty) as a new automation string. Failures record their code: text that does
// not parse gives the parser's error text (usually empty); a failed walk, or a name that
// no element bears, gives null. An error recorded before the call gives the empty string.
platform::AutomationString BuildPreSignSequence(Text xml, Text startName);

// Appends the contribution of `node` and everything below it to `sequence`.
bool AppendPreSignText(XmlNode node, Text& sequence);

}  // namespace quillora
