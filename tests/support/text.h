// Windows-1251 text from the UTF-8 literals of the test sources.
#pragma once

#include <string>

#include "xml/text_conversion.h"

namespace quillora::testing {

inline Text W(const std::string& utf8) {
  return Utf8ToAnsi(utf8);
}

}  // namespace quillora::testing
