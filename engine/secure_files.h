// Creating key and certificate files so that they appear whole or not at all, with their
// final permissions from the first byte, and never over an existing file.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

#include "engine/outcome.h"

namespace quillora::engine {

// Writes `bytes` to a new file `path` with permissions `mode`. Fails, leaving the
// existing file alone, when `path` already exists.
Status WriteNewFile(const std::filesystem::path& path, std::string_view bytes, mode_t mode);

// Makes `directory` (and any missing parents); the directory itself, when it is created
// here, gets `mode`.
Status EnsureDirectory(const std::filesystem::path& directory, mode_t mode);

}  // namespace quillora::engine
