#include "tests/support/sandbox_fixture.h"

#include <cstdlib>
#include <stdexcept>

#include "tests/support/run_command.h"

namespace quillora::testing {

SandboxFixture::SandboxFixture(const std::string& dest, const std::string& user) {
  const CommandResult made = RunCommand(
      BuiltProgram("quillora"), {"sandbox", dir_.path().string(), "--dest", dest, "--user", user});
  if (made.status != 0) throw std::runtime_error("quillora sandbox failed: " + made.err);
  if (const char* previous = std::getenv("QUILLORA_REGISTRY")) {
    previous_ = previous;
    hadPrevious_ = true;
  }
  setenv("QUILLORA_REGISTRY", registry().c_str(), 1);
}

SandboxFixture::~SandboxFixture() {
  if (hadPrevious_) {
    setenv("QUILLORA_REGISTRY", previous_.c_str(), 1);
  } else {
    unsetenv("QUILLORA_REGISTRY");
  }
}

}  // namespace quillora::testing
