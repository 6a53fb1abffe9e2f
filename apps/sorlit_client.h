// The Base64 library as the command line uses it: loaded at run time beside the program
// first, then through the library search path, and bound by name.
#pragma once

#include <string>

#include "platform/dynamic_library.h"
#include "xml/text_conversion.h"

namespace quillora::cli {

class SorlitClient {
 public:
  // Throws CommandFailure (-20) when the library cannot be loaded.
  SorlitClient();

  // Throws CommandFailure (-17 missing export, -18 failed call).
  Text Encode(const std::string& bytes) const;
  std::string Decode(const Text& text) const;

 private:
  platform::DynamicLibrary library_;
};

}  // namespace quillora::cli
