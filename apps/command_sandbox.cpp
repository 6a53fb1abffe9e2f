#include <cstdio>

#include "apps/commands.h"
#include "apps/sandbox.h"
#include "platform/dynamic_library.h"

namespace quillora::cli {

// quillora sandbox DIR [--dest NAME] [--user NAME]
int RunSandbox(Arguments& args, const Io&) {
  SandboxRequest request;
  if (auto dest = args.TakeOption("--dest")) request.dest = *dest;
  if (auto user = args.TakeOption("--user")) request.user = *user;
  const auto operands = args.Operands(1);
  if (operands.empty())
    throw CommandFailure{0, "usage: quillora sandbox DIR [--dest NAME] [--user NAME]"};
  if (request.dest.empty() || request.user.empty()) {
    throw CommandFailure{0, "--dest and --user need a name"};
  }
  request.dir = operands[0];
  request.engineLibrary = ProgramDirectory() + "libzelcor.so";
  const SandboxLayout layout = CreateSandbox(request);
  std::printf("export QUILLORA_REGISTRY=%s\n", layout.registryFile.c_str());
  return 0;
}

}  // namespace quillora::cli
