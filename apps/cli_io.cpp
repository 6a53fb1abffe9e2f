#include "apps/cli_io.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "control/error_register.h"
#include "platform/dynamic_library.h"

namespace quillora::cli {

std::string ReadAllBytes(const std::string& path) {
  if (path.empty() || path == "-") {
    std::ostringstream content;
    content << std::cin.rdbuf();
    return content.str();
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CommandFailure{0, "cannot read " + path};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Text Io::ReadInput(const std::string& path) const {
  std::string bytes = ReadAllBytes(path);
  return utf8 ? Utf8ToAnsi(bytes) : bytes;
}

void Io::WriteOutput(const Text& text) const {
  const std::string bytes = utf8 ? AnsiToUtf8(text) : text;
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

std::optional<std::string> Arguments::TakeOption(const std::string& name) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--") break;
    if (args_[i] == name) {
      if (i + 1 >= args_.size()) throw CommandFailure{0, name + " needs a value"};
      std::string value = args_[i + 1];
      args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i),
                  args_.begin() + static_cast<std::ptrdiff_t>(i + 2));
      return value;
    }
    const std::string prefix = name + "=";
    if (args_[i].rfind(prefix, 0) == 0) {
      std::string value = args_[i].substr(prefix.size());
      args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i));
      return value;
    }
  }
  return std::nullopt;
}

bool Arguments::TakeFlag(const std::string& name) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--") break;
    if (args_[i] == name) {
      args_.erase(args_.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

std::vector<std::string> Arguments::Operands(std::size_t max) {
  std::vector<std::string> operands;
  bool literal = false;
  for (const std::string& arg : args_) {
    if (!literal && arg == "--") {
      literal = true;
      continue;
    }
    if (!literal && arg.size() > 1 && arg[0] == '-')
      throw CommandFailure{0, "unknown option " + arg};
    operands.push_back(arg);
  }
  if (operands.size() > max) throw CommandFailure{0, "too many arguments"};
  return operands;
}

std::string ProgramDirectory() {
  static const int anchor = 0;
  return platform::ModuleDirectoryOf(&anchor);
}

void FailOnRecordedError(const std::string& what) {
  const int32_t code = TheErrorRegister().GetError();
  if (code != 0) throw CommandFailure{code, what};
}

}  // namespace quillora::cli
