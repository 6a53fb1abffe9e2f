// Automation strings: the wide strings that cross the automation boundary and come
// back from the Base64 library. A string is a block of UTF-16 code units preceded by
// its length in bytes and followed by a zero unit; the pointer handed around points at
// the first code unit. A null pointer is a string that is absent, which callers keep
// apart from the empty string.
//
// The block is taken from the C heap, so a string allocated by one shared library of
// the system can be released by another one that loaded it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillora::platform {

using OLECHAR = char16_t;
using BSTR = OLECHAR*;

// A new string holding `length` code units copied from `units` (zeros when `units` is
// null). Returns null when memory cannot be had.
BSTR AllocString(const OLECHAR* units, uint32_t length);
BSTR AllocString(std::u16string_view units);
// A new string of `length` code units whose content the caller writes next (only the
// terminating zero is set). Returns null when memory cannot be had.
BSTR AllocStringForWriting(uint32_t length);
// Releases a string made by AllocString; null is accepted and ignored.
void FreeString(BSTR text);
// Number of code units; 0 for null.
uint32_t StringLength(const OLECHAR* text);
// The code units of a string as a view (empty for null).
std::u16string_view StringView(const OLECHAR* text);

struct StringDeleter {
  void operator()(OLECHAR* text) const { FreeString(text); }
};
// Owns one automation string; empty (null) stays distinguishable from "".
using AutomationString = std::unique_ptr<OLECHAR, StringDeleter>;

inline AutomationString MakeAutomationString(std::u16string_view units) {
  return AutomationString(AllocString(units));
}

}  // namespace quillora::platform
