#include "proposal/presign.h"

#include "control/error_register.h"
#include "xml/dom_node.h"
#include "xml/xml_builders.h"

namespace quillora {

platform::AutomationString BuildPreSignSequence(Text xml, Text startName) {
  Text sequence;
  if (ErrorRecorded()) return platform::MakeAutomationString(AnsiToWide(sequence));

  CXmlDocument document;
  Text errorText;
  if (!document.LoadXml(xml, &errorText)) {
    RecordError(-10);
    return platform::MakeAutomationString(AnsiToWide(errorText));
  }
  if (startName.empty()) {
    XmlNode root = nullptr;
    if (document.GetDocumentElement(root)) document.GetNodeName(root, startName);
  }
  XmlNode start = nullptr;
  if (!document.FindFirstElement(startName, start)) {
    // No element bears the name (or the search failed and recorded its own code): the
    // walk has nowhere to begin, which is a failed search.
    RecordError(-3);
    return nullptr;
  }
  sequence.clear();
  if (!AppendPreSignText(start, sequence)) {
    RecordError(-1);
    return nullptr;
  }
  return platform::MakeAutomationString(AnsiToWide(sequence));
}

bool AppendPreSignText(XmlNode node, Text& sequence) {
  if (ErrorRecorded()) return false;
  if (node == nullptr) {
    RecordError(-3);
    return false;
  }
  switch (dom::Type(node)) {
    case dom::kElement: {
      if (!dom::HasChildNodes(node)) return true;
      for (XmlNode child = dom::FirstChild(node); child != nullptr;
           child = dom::NextSibling(child)) {
        // A failure below records its code; every later call then returns at once, so
        // the rest of the walk adds nothing.
        AppendPreSignText(child, sequence);
      }
      return true;
    }
    case dom::kText: {
      const Text text = dom::TextOf(node);
      sequence += HexLengthField(static_cast<int32_t>(text.size()));
      sequence += text;
      return true;
    }
    default:
      return true;
  }
}

}  // namespace quillora
