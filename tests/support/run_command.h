// Runs a program of the build with arguments and standard input, and collects what it
// printed and how it ended.
#pragma once

#include <string>
#include <vector>

namespace quillora::testing {

struct CommandResult {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "",
                         const std::vector<std::string>& environment = {});

// A program of the build: QUILLORA_BIN_DIR/name.
std::string BuiltProgram(const std::string& name);

}  // namespace quillora::testing
