// The work behind MakeEncProposal: the input document read into the working offer, the
// user's crypto settings found, the offer reviewed, the proposal document signed twice,
// encrypted, Base64-encoded, filed in the offer store, and returned.
#pragma once

#include "crypto/crypto_config.h"
#include "offers/offer.h"
#include "platform/automation_string.h"
#include "ui/dialogs.h"

namespace quillora {

// "Файл данных сохранить не удалось :((." in Windows-1251.
Text StoreFailedMessage();

// What the pipeline works on; the fields belong to the control.
struct ProposalPipeline {
  Text destLocation;
  CCryptoConfig& config;
  COffer& workingOffer;
  OfferEditor& editor;
  MessageBoxes& messageBoxes;
};

// The Base64 text of the signed, encrypted proposal; an empty string or null when
// nothing usable was produced (the error register tells why). The caller has checked
// that no error is recorded.
platform::AutomationString MakeEncProposal(const Text& xml, ProposalPipeline& pipeline);

// The pre-sign entry the control offers to pages: null while an error is recorded.
platform::AutomationString MakePreSignSeq(const Text& xml, const Text& startName);

// The signed form of a proposal document: everything before its closing root tag, then
// the two signature elements and the closing root tag.
Text SignedProposal(const Text& proposal, const Text& privateSignature,
                    const Text& documentSignature);

}  // namespace quillora
