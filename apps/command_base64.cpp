#include "apps/commands.h"
#include "apps/sorlit_client.h"

namespace quillora::cli {

// quillora base64 encode|decode [FILE]
int RunBase64(Arguments& args, const Io& io) {
  const auto operands = args.Operands(2);
  if (operands.empty() || (operands[0] != "encode" && operands[0] != "decode")) {
    throw CommandFailure{0, "usage: quillora base64 encode|decode [FILE]"};
  }
  const Text input = io.ReadInput(operands.size() > 1 ? operands[1] : "");
  const SorlitClient sorlit;
  io.WriteOutput(operands[0] == "encode" ? sorlit.Encode(input) : sorlit.Decode(input));
  return 0;
}

}  // namespace quillora::cli
