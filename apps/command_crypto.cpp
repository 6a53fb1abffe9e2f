#include "apps/commands.h"
#include "control/error_register.h"
#include "control/progress_window.h"
#include "crypto/crypto_operations.h"
#include "crypto/discover_crypto_config.h"
#include "platform/dynamic_library.h"

namespace quillora::cli {

namespace {

using Operation = bool (*)(Text, Text&, const CCryptoConfig&);

// The configuration the control would use for DestLocation `dest`, with this program's
// directory as the module directory where the Base64 library is looked for first.
CCryptoConfig Discover(const Text& dest) {
  CCryptoConfig config;
  config.ModuleDir = ProgramDirectory();
  // The command has no window to keep readable: its status messages cost no pause.
  InstallProgressWindow(std::make_unique<HeadlessProgressWnd>(nullptr));
  DiscoverCryptoConfig(dest, config);
  FailOnRecordedError("the crypto configuration for '" + dest + "' cannot be read");
  return config;
}

int Run(Arguments& args, const Io& io, Operation operation, const char* what) {
  const auto dest = args.TakeOption("--dest");
  if (!dest) throw CommandFailure{0, "--dest NAME is required"};
  const auto operands = args.Operands(1);
  const Text input = io.ReadInput(operands.empty() ? "" : operands[0]);
  const CCryptoConfig config = Discover(io.Argument(*dest));
  Text output;
  if (!operation(input, output, config)) {
    FailOnRecordedError(std::string(what) + " failed");
    throw CommandFailure{0, std::string(what) + " failed"};
  }
  io.WriteOutput(output);
  return 0;
}

}  // namespace

int RunSign(Arguments& args, const Io& io) {
  return Run(args, io, CryptoSign, "signing");
}
int RunEncrypt(Arguments& args, const Io& io) {
  return Run(args, io, CryptoEncrypt, "encryption");
}
int RunDecrypt(Arguments& args, const Io& io) {
  return Run(args, io, CryptoDecrypt, "decryption");
}

}  // namespace quillora::cli
