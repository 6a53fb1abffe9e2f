#include "ui/headless_dialogs.h"

#include "proposal/compose_proposal.h"

namespace quillora {
namespace {

// What the editor holds once it is shown: its own offer assigned from the argument (so
// TP and the source names stay empty) and no proposal yet.
COffer EditorOffer(const COffer& offer) {
  COffer working;
  working = offer;
  working.ProposalXml.clear();
  return working;
}

}  // namespace

HeadlessOfferEditor::HeadlessOfferEditor(std::shared_ptr<const Clock> clock)
    : clock_(std::move(clock)) {}

COffer HeadlessOfferEditor::Edit(const COffer& offer) {
  COffer working = EditorOffer(offer);
  working.ProposalXml = ComposeProposal(working, working.Goods(), clock_->Today());
  return COffer(working);
}

COffer CancellingOfferEditor::Edit(const COffer& offer) {
  return COffer(EditorOffer(offer));
}

void HeadlessManagerWindow::Show(const Text& moduleDir, const Text& id, CCryptoConfig&) {
  calls_.push_back(ManagerCall{moduleDir, id});
}

int RecordingMessageBoxes::Show(const Text& text, const Text& caption, uint32_t style) {
  shown_.push_back(ShownMessage{text, caption, style});
  return answer_;
}

}  // namespace quillora
