// GUID generation and text forms.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/com_types.h"

namespace quillora::platform {

// A new random GUID (version 4) from the kernel's random source.
GUID NewGuid();

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string GuidToString(const GUID& guid);
// Reads the braced form (case-insensitive); nullopt when the text is not a GUID.
std::optional<GUID> GuidFromString(std::string_view text);

}  // namespace quillora::platform
