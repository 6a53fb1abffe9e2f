// The file operations that configuration discovery needs.
#pragma once

#include <optional>

#include "xml/text_conversion.h"

namespace quillora {

// Whether anything (a file or a directory) stands at the path.
bool PathExists(const Text& path);

// The whole content of a regular file; nothing when it cannot be opened as one (missing,
// unreadable, a directory or a device) or when reading it fails.
std::optional<Text> ReadWholeFile(const Text& path);

// `name` inside `directory`, with one "/" between them however the directory ends.
Text JoinPath(const Text& directory, const Text& name);

}  // namespace quillora
