#include "apps/commands.h"
#include "control/error_register.h"
#include "proposal/presign.h"

namespace quillora::cli {

// quillora presign [--start NAME] [FILE]: the sequence as MakePreSignSeq returns it.
int RunPresign(Arguments& args, const Io& io) {
  const Text start = io.Argument(args.TakeOption("--start").value_or(""));
  const auto operands = args.Operands(1);
  const Text xml = io.ReadInput(operands.empty() ? "" : operands[0]);
  platform::AutomationString sequence = BuildPreSignSequence(xml, start);
  FailOnRecordedError("the pre-sign sequence could not be built");
  if (!sequence) throw CommandFailure{0, "no pre-sign sequence"};
  io.WriteOutput(WideToAnsi(platform::StringView(sequence.get())));
  return 0;
}

}  // namespace quillora::cli
