#include "apps/commands.h"
#include "control/error_register.h"
#include "offers/calendar_date.h"
#include "offers/working_offer.h"
#include "proposal/compose_proposal.h"
#include "proposal/input_document.h"

namespace quillora::cli {

// quillora compose [--date DD/MM/YYYY] [FILE]: the proposal document the offer editor
// composes when the offer of the input document is confirmed as given.
int RunCompose(Arguments& args, const Io& io) {
  const LocalClock clock;
  CalendarDate stamp = clock.Today();
  if (const auto date = args.TakeOption("--date")) {
    if (!ParseDate(*date, stamp)) throw CommandFailure{0, "--date wants DD/MM/YYYY: " + *date};
  }
  const auto operands = args.Operands(1);
  const Text xml = io.ReadInput(operands.empty() ? "" : operands[0]);

  // The working offer as a new control resets it.
  COffer working;
  ResetWorkingOffer(working, clock.Today());

  CXmlDocument input;
  input.LoadXml(xml, nullptr);
  FailOnRecordedError("the input is not a well-formed XML document");
  if (!ReadInputDocument(input, working)) {
    FailOnRecordedError("the input could not be read");
    throw CommandFailure{0, "the input has no DROW element"};
  }

  // The editor works on a copy, which does not carry TP, and its list rows are the
  // offer's goods lines.
  const COffer edited(working);
  io.WriteOutput(ComposeProposal(edited, edited.Goods(), stamp));
  return 0;
}

}  // namespace quillora::cli
