// Input, output and failure reporting shared by the commands of the quillora program.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "xml/text_conversion.h"

namespace quillora::cli {

// Thrown by a command for a failure it reports on standard error with exit status 1.
struct CommandFailure {
  int32_t code;  // the recorded error code (0 when none was recorded)
  std::string message;
};

// Options common to every command.
struct Io {
  bool utf8 = false;

  // The bytes of FILE, or of standard input when the path is empty or "-"; converted from
  // UTF-8 to the system's text with --utf8.
  Text ReadInput(const std::string& path) const;
  // A command-line argument as system text (converted from UTF-8 with --utf8).
  Text Argument(const std::string& arg) const { return utf8 ? Utf8ToAnsi(arg) : arg; }
  // Writes text as it is (converted to UTF-8 with --utf8), with no added newline.
  void WriteOutput(const Text& text) const;
};

// Reads a whole file or standard input; throws CommandFailure when it cannot.
std::string ReadAllBytes(const std::string& path);

// A simple argument cursor: options of the form --name VALUE or --flag, then operands.
class Arguments {
 public:
  explicit Arguments(std::vector<std::string> args) : args_(std::move(args)) {}
  // Removes and returns the value of --name when present.
  std::optional<std::string> TakeOption(const std::string& name);
  // Removes --name when present.
  bool TakeFlag(const std::string& name);
  // The remaining operands; fails on an unknown option or when there are more than max.
  std::vector<std::string> Operands(std::size_t max);

 private:
  std::vector<std::string> args_;
};

// The directory of the quillora program, ending with "/": where the libraries it loads
// are installed beside it.
std::string ProgramDirectory();

// Fails with the code recorded in the error register, when there is one.
void FailOnRecordedError(const std::string& what);

}  // namespace quillora::cli
