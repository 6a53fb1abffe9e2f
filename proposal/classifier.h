// The goods classifier's path components and identifiers.
#pragma once

#include <vector>

#include "xml/text_conversion.h"

namespace quillora {

// The texts standing between two consecutive separators of `path`, after every "/" has
// become "\" and every pair of backslashes one backslash. Text before the first and
// after the last separator is not a component.
void SplitClassifierPath(std::vector<Text>& components, Text path, const Text& separator);

// The decimal digits of a new GUID's first three fields, one after the other.
Text NewClassifierId();

}  // namespace quillora
