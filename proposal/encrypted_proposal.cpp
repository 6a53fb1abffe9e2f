#include "proposal/encrypted_proposal.h"

#include "control/error_register.h"
#include "control/progress_window.h"
#include "crypto/crypto_operations.h"
#include "crypto/discover_crypto_config.h"
#include "offers/store_names.h"
#include "proposal/input_document.h"
#include "proposal/presign.h"
#include "proposal/store_proposal.h"
#include "xml/xml_builders.h"

namespace quillora {
namespace {

constexpr char kEndMark[] = "</ZARN_ROOT";

Text StorePath(const CCryptoConfig& config) {
  return config.ModuleDir + store::kFileName;
}

// Success is not reported: failures leave their code, and every later step refuses.
void OpenStore(CXmlDocument& store, const Text& path) {
  Text text;
  store.LoadFileText(path, text);
  store.LoadXml(text, nullptr);
}

void SaveStore(CXmlDocument& store, const Text& path) {
  store.WriteFileText(path, store.GetXml());
}

Text Narrow(const platform::AutomationString& text) {
  return WideToAnsi(text.get());  // null gives the empty text
}

}  // namespace

Text StoreFailedMessage() {
  return Utf8ToAnsi("Файл данных сохранить не удалось :((.");
}

platform::AutomationString MakePreSignSeq(const Text& xml, const Text& startName) {
  if (ErrorRecorded()) return nullptr;
  return BuildPreSignSequence(xml, startName);
}

Text SignedProposal(const Text& proposal, const Text& privateSignature,
                    const Text& documentSignature) {
  const std::size_t end = proposal.find(kEndMark);
  Text signedText = end == Text::npos ? Text() : proposal.substr(0, end);
  signedText += XmlElementLine(1, "SIGN_PRIVATE", privateSignature);
  signedText += XmlElementLine(1, "SIGN", documentSignature);
  signedText += XmlCloseTagLine(0, "ZARN_ROOT");
  return signedText;
}

platform::AutomationString MakeEncProposal(const Text& xml, ProposalPipeline& pipeline) {
  CProgressWnd& progress = TheProgressWindow();
  const auto empty = [] { return platform::MakeAutomationString(u""); };

  progress.ShowProgress();
  CXmlDocument input;
  if (!input.LoadXml(xml, nullptr)) return empty();
  progress.SetMessage("Parsing XML document...");
  if (!ReadInputDocument(input, pipeline.workingOffer)) {
    progress.HideProgress();
    return empty();
  }
  progress.SetMessage("Analyzing Halvane confuguration file...");
  if (!DiscoverCryptoConfig(pipeline.destLocation, pipeline.config)) return empty();

  progress.HideProgress();
  // However the editor was closed, the working offer takes its result and keeps its
  // own TP and source names.
  {
    ModalWindows::Scope modal;
    pipeline.workingOffer = pipeline.editor.Edit(COffer(pipeline.workingOffer));
  }

  progress.ShowProgress();
  Text result;
  progress.SetMessage("Processing pre-sign...");
  const Text& proposal = pipeline.workingOffer.ProposalXml;
  const platform::AutomationString privateSequence = MakePreSignSeq(proposal, "PRIVATE");
  const platform::AutomationString documentSequence = MakePreSignSeq(proposal, "");

  progress.SetMessage("Signing...");
  const Text document = proposal;
  Text privateSignature;
  Text documentSignature;
  if (!CryptoSign(Narrow(privateSequence), privateSignature, pipeline.config) ||
      !CryptoSign(Narrow(documentSequence), documentSignature, pipeline.config)) {
    RecordError(-1);
    return nullptr;
  }

  progress.SetMessage("Encoding...");
  if (!CryptoEncrypt(SignedProposal(document, privateSignature, documentSignature), result,
                     pipeline.config)) {
    RecordError(-1);
    return nullptr;
  }

  CXmlDocument store;
  const Text storePath = StorePath(pipeline.config);
  OpenStore(store, storePath);
  if (StoreProposal(pipeline.workingOffer, result, store)) {
    SaveStore(store, storePath);
  } else {
    ModalWindows::Scope modal;
    pipeline.messageBoxes.Show(StoreFailedMessage(), "Quillora", kMbIconError | kMbTaskModal);
  }

  progress.SetMessage("Making Encode Proposal completed.");
  progress.HideProgress();
  return platform::MakeAutomationString(AnsiToWide(result));
}

}  // namespace quillora
