// One XML document in memory, with flat operations on Windows-1251 strings. The DOM is
// libxml2's; node references are its nodes, and "no node" (nullptr) stands for the
// document itself wherever an operation takes an optional node.
//
// Every operation takes part in the error protocol: it does nothing and reports failure
// while the process-wide error register holds a code, and records its own code there
// when it fails.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "xml/text_conversion.h"

struct _xmlDoc;
struct _xmlNode;

namespace quillora {

using XmlNode = _xmlNode*;

// A list of nodes handed out by FindElements and GetChildNodes. It is a snapshot taken
// when the list was asked for, in document order; copies share the same items.
class XmlNodeList {
 public:
  XmlNodeList() = default;
  explicit XmlNodeList(std::vector<XmlNode> items);

  bool IsNull() const { return !items_; }
  int32_t Length() const;
  // The item at index, or nullptr when the index is outside the list.
  XmlNode Item(int32_t index) const;

 private:
  std::shared_ptr<const std::vector<XmlNode>> items_;
};

class CXmlDocument {
 public:
  // The declaration put in front of every parsed text.
  static constexpr std::string_view kDeclaration = "<?xml version='1.0' encoding='windows-1251'?>";
  static constexpr std::string_view kDefaultFileName = "Quillora.xml";

  CXmlDocument();
  virtual ~CXmlDocument();
  CXmlDocument(const CXmlDocument&) = delete;
  CXmlDocument& operator=(const CXmlDocument&) = delete;

  bool LoadFileText(const Text& fileName, Text& text);
  bool LoadXml(const Text& text, Text* errorText);
  bool WriteFileText(const Text& fileName, const Text& text);
  bool CreateNew(const Text& rootName, const Text& encoding, XmlNode& root);
  bool AddElement(const Text& name, XmlNode& element, XmlNode parent = nullptr);
  bool GetAttribute(const Text& name, Text& value, XmlNode node = nullptr);
  bool SetAttribute(const Text& name, const Text& value, XmlNode node = nullptr);
  Text GetXml();
  bool FindElements(const Text& tagName, XmlNodeList& list, int32_t& count);
  bool FindFirstElement(const Text& tagName, XmlNode& node);
  bool GetNodeText(Text& text, XmlNode node = nullptr);
  bool GetListItem(const XmlNodeList& list, int32_t index, XmlNode& node);
  bool GetDocumentElement(XmlNode& element);
  bool GetNodeName(XmlNode node, Text& name);
  bool GetChildNodes(XmlNodeList& list, XmlNode node = nullptr);
  bool GetListLength(int32_t& count, const XmlNodeList* list = nullptr);
  bool GetNodeXml(Text& text, XmlNode node = nullptr);
  bool GetChildText(XmlNode parent, const Text& childName, Text& text);
  bool RemoveNode(XmlNode node, bool removeEmptyParents);
  bool HasChildren(XmlNode node, bool* hasChildren, int32_t* count);
  bool SaveFile(const Text& fileName);
  bool SetNodeValue(const Text& value, XmlNode node = nullptr);
  bool AppendTextNode(const Text& name, XmlNode& node, XmlNode parent = nullptr);

  // The libxml2 document, for code that walks nodes directly (the pre-sign walk).
  _xmlDoc* Document() const { return doc_.get(); }

 private:
  struct DocDeleter {
    void operator()(_xmlDoc* doc) const;
  };
  struct NodeDeleter {
    void operator()(_xmlNode* node) const;
  };
  std::unique_ptr<_xmlDoc, DocDeleter> doc_;
  // Nodes taken out by RemoveNode. They live as long as the document, so a reference a
  // caller still holds to one stays readable (with no parent) instead of dangling.
  // Declared after doc_: they go first, while the document's name dictionary is alive.
  std::vector<std::unique_ptr<_xmlNode, NodeDeleter>> detached_;
};

}  // namespace quillora
