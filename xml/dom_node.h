// Direct reads of DOM nodes for the code that walks a document itself (the pre-sign
// walk, the manager's tree). Node types use the DOM's numbering.
#pragma once

#include <cstdint>

#include "xml/xml_document.h"

namespace quillora::dom {

enum NodeType : int32_t {
  kElement = 1,
  kAttribute = 2,
  kText = 3,
  kCData = 4,
  kEntityReference = 5,
  kProcessingInstruction = 7,
  kComment = 8,
  kDocument = 9,
};

// The DOM type of a node (the document node for nullptr).
int32_t Type(XmlNode node);
// The node's name in Windows-1251 ("#text" for text nodes, as the DOM names them;
// "prefix:local" for a prefixed element or attribute).
Text Name(XmlNode node);
// The node's children in order. An entity reference and a document type declaration
// have none here: what libxml2 hangs below them belongs to the declarations.
XmlNodeList Children(XmlNode node);
bool HasChildNodes(XmlNode node);
// Walking the children in order without taking a list: the first child (nullptr when
// there is none) and the next sibling.
XmlNode FirstChild(XmlNode node);
XmlNode NextSibling(XmlNode node);
// The text of a text node (entities already replaced), in Windows-1251; also the value of
// a CDATA section, comment or processing instruction. Other nodes give the empty text.
Text TextOf(XmlNode node);

}  // namespace quillora::dom
