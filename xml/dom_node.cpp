#include "xml/dom_node.h"

#include <libxml/tree.h>

#include <string>
#include <utility>

namespace quillora {

XmlNodeList::XmlNodeList(std::vector<XmlNode> items)
    : items_(std::make_shared<const std::vector<XmlNode>>(std::move(items))) {}

int32_t XmlNodeList::Length() const {
  return items_ ? static_cast<int32_t>(items_->size()) : 0;
}

XmlNode XmlNodeList::Item(int32_t index) const {
  if (!items_ || index < 0 || static_cast<std::size_t>(index) >= items_->size()) return nullptr;
  return (*items_)[static_cast<std::size_t>(index)];
}

namespace dom {
namespace {

Text FromUtf8(const xmlChar* utf8) {
  return utf8 == nullptr ? Text() : Utf8ToAnsi(reinterpret_cast<const char*>(utf8));
}

// libxml2 keeps the prefix apart from the local name; the DOM names "prefix:local".
Text QualifiedName(XmlNode node) {
  Text name = FromUtf8(node->name);
  if (node->ns != nullptr && node->ns->prefix != nullptr) {
    name = FromUtf8(node->ns->prefix) + ":" + name;
  }
  return name;
}

// Below an entity reference libxml2 links the entity declaration itself, and below a
// document type its declarations: neither are children in the document's tree.
bool ChildrenAreOwn(XmlNode node) {
  return node->type != XML_ENTITY_REF_NODE && node->type != XML_DTD_NODE;
}

}  // namespace

int32_t Type(XmlNode node) {
  if (node == nullptr) return kDocument;
  switch (node->type) {
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
      return kDocument;
    case XML_DTD_NODE:
    case XML_DOCUMENT_TYPE_NODE:
      return 10;  // the DOM's document type
    case XML_ENTITY_DECL:
      return 6;  // the DOM's entity
    default:
      // Element to notation share the DOM's numbers.
      return static_cast<int32_t>(node->type);
  }
}

Text Name(XmlNode node) {
  if (node == nullptr) return "#document";
  switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
      return QualifiedName(node);
    case XML_TEXT_NODE:
      return "#text";
    case XML_CDATA_SECTION_NODE:
      return "#cdata-section";
    case XML_COMMENT_NODE:
      return "#comment";
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
      return "#document";
    case XML_DOCUMENT_FRAG_NODE:
      return "#document-fragment";
    default:
      return FromUtf8(node->name);
  }
}

XmlNodeList Children(XmlNode node) {
  std::vector<XmlNode> items;
  if (node != nullptr && ChildrenAreOwn(node)) {
    for (XmlNode child = node->children; child != nullptr; child = child->next) {
      items.push_back(child);
    }
  }
  return XmlNodeList(std::move(items));
}

XmlNode FirstChild(XmlNode node) {
  return node != nullptr && ChildrenAreOwn(node) ? node->children : nullptr;
}

XmlNode NextSibling(XmlNode node) {
  return node != nullptr ? node->next : nullptr;
}

bool HasChildNodes(XmlNode node) {
  return node != nullptr && ChildrenAreOwn(node) && node->children != nullptr;
}

Text TextOf(XmlNode node) {
  if (node == nullptr) return Text();
  switch (node->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
      return FromUtf8(node->content);
    default:
      return Text();
  }
}

}  // namespace dom
}  // namespace quillora
