#include "apps/proposal_check.h"

#include "apps/cli_io.h"
#include "apps/json.h"
#include "apps/sorlit_client.h"
#include "control/error_register.h"
#include "engine/site_decrypt.h"
#include "engine/site_verify.h"
#include "proposal/presign.h"
#include "xml/xml_document.h"

namespace quillora::cli {
namespace {

Text WithoutBlanks(const Text& text) {
  Text out;
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  }
  return out;
}

// Decodes Base64 that must be exactly what an encoder writes for its bytes, so that no
// changed character can pass unnoticed in the unused bits of the last group.
std::string DecodeStrict(const SorlitClient& sorlit, const Text& text, const std::string& what) {
  const Text compact = WithoutBlanks(text);
  std::string bytes;
  try {
    bytes = sorlit.Decode(compact);
  } catch (const CommandFailure&) {
    throw CommandFailure{0, what + " is not valid Base64"};
  }
  if (bytes.empty() || sorlit.Encode(bytes) != compact) {
    throw CommandFailure{0, what + " is not valid Base64"};
  }
  return bytes;
}

XmlNode Required(CXmlDocument& document, const char* name) {
  XmlNode node = nullptr;
  if (!document.FindFirstElement(name, node)) {
    throw CommandFailure{0, std::string("the proposal document has no ") + name + " element"};
  }
  return node;
}

Text PreSignOf(XmlNode node) {
  Text sequence;
  if (!AppendPreSignText(node, sequence) || ErrorRecorded()) {
    throw CommandFailure{TheErrorRegister().GetError(), "the pre-sign sequence cannot be built"};
  }
  return sequence;
}

Text ChildText(CXmlDocument& document, XmlNode parent, const char* name) {
  Text text;
  document.GetChildText(parent, name, text);
  return text;
}

}  // namespace

CheckedProposal CheckProposal(const Text& base64Text, const SiteKeys& keys) {
  const SorlitClient sorlit;
  const std::string envelope = DecodeStrict(sorlit, base64Text, "the input");
  const site::DecryptResult opened = site::DecryptEnvelope(envelope, keys.key, keys.certificate);
  if (!opened.ok) throw CommandFailure{0, "cannot decrypt: " + opened.error};

  CheckedProposal result;
  result.document = opened.content;
  CXmlDocument document;
  if (!document.LoadXml(opened.content, nullptr)) {
    throw CommandFailure{TheErrorRegister().GetError(),
                         "the decrypted text is not a well-formed XML document"};
  }
  XmlNode root = nullptr;
  Text rootName;
  if (!document.GetDocumentElement(root) || !document.GetNodeName(root, rootName) ||
      rootName != "ZARN_ROOT") {
    throw CommandFailure{0, "the decrypted text is not a proposal document"};
  }

  // The signatures were made over the document without its signature elements.
  XmlNode signPrivate = Required(document, "SIGN_PRIVATE");
  XmlNode sign = Required(document, "SIGN");
  Text privateSignature, documentSignature;
  document.GetNodeText(privateSignature, signPrivate);
  document.GetNodeText(documentSignature, sign);
  document.RemoveNode(signPrivate, false);
  document.RemoveNode(sign, false);

  XmlNode privatePart = Required(document, "PRIVATE");
  const Text privateSequence = PreSignOf(privatePart);
  const Text documentSequence = PreSignOf(root);

  const site::VerifyResult first = site::VerifyDetachedSignature(
      DecodeStrict(sorlit, privateSignature, "SIGN_PRIVATE"), privateSequence, keys.authority);
  if (!first.ok) throw CommandFailure{0, "SIGN_PRIVATE does not verify: " + first.error};
  const site::VerifyResult second = site::VerifyDetachedSignature(
      DecodeStrict(sorlit, documentSignature, "SIGN"), documentSequence, keys.authority);
  if (!second.ok) throw CommandFailure{0, "SIGN does not verify: " + second.error};
  if (first.subject != second.subject) {
    throw CommandFailure{0, "SIGN_PRIVATE and SIGN were made by different signers"};
  }
  result.signerCommonName = first.commonName;
  result.signerSubject = first.subject;

  XmlNode doc = nullptr;
  if (document.FindFirstElement("DOC", doc)) document.GetAttribute("TS", result.stamp, doc);
  XmlNode lot = nullptr;
  if (document.FindFirstElement("LotID", lot)) document.GetNodeText(result.offer.LotID.value, lot);
  for (const OfferFieldInfo& field : OfferFields()) {
    if (field.member == &COffer::LotID) continue;
    (result.offer.*field.member).value = ChildText(document, privatePart, field.element);
  }
  XmlNodeList goods;
  int32_t count = 0;
  if (document.FindElements("GOOD", goods, count)) {
    for (int32_t i = 0; i < count; ++i) {
      XmlNode node = goods.Item(i);
      CGoodItem good;
      good.ID = ChildText(document, node, "ID");
      good.NM = ChildText(document, node, "NM");
      good.PR = ChildText(document, node, "PR");
      good.QTY = ChildText(document, node, "QTY");
      good.MSR = ChildText(document, node, "MSR");
      good.SM = ChildText(document, node, "SM");
      good.DSC = ChildText(document, node, "DSC");
      result.offer.AddGood(good);
    }
  }
  return result;
}

std::string ProposalJson(const CheckedProposal& proposal) {
  JsonObject offer;
  offer.Text("LotID", proposal.offer.LotID.value);
  for (const OfferFieldInfo& field : OfferFields()) {
    if (field.member == &COffer::LotID) continue;
    offer.Text(field.element, (proposal.offer.*field.member).value);
  }
  std::vector<std::string> goods;
  for (const CGoodItem& good : proposal.offer.Goods()) {
    goods.push_back(JsonObject()
                        .Text("ID", good.ID)
                        .Text("NM", good.NM)
                        .Text("PR", good.PR)
                        .Text("QTY", good.QTY)
                        .Text("MSR", good.MSR)
                        .Text("SM", good.SM)
                        .Text("DSC", good.DSC)
                        .str());
  }
  JsonObject signer;
  // Certificate names come as UTF-8.
  signer.Raw("commonName", JsonUtf8String(proposal.signerCommonName));
  signer.Raw("subject", JsonUtf8String(proposal.signerSubject));
  return JsonObject()
      .Raw("verified", "true")
      .Raw("signer", signer.str())
      .Text("stamp", proposal.stamp)
      .Raw("offer", offer.str())
      .Raw("goods", JsonArray(goods))
      .str();
}

}  // namespace quillora::cli
