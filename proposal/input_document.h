// Intake of the caller's input document: the first DROW element's attributes fill the
// offer header, and every OFFG element anywhere in the document becomes a goods line.
#pragma once

#include "offers/offer.h"
#include "xml/xml_document.h"

namespace quillora {

// True when DROW was found and every read succeeded. Header fields are overwritten; goods
// lines are appended to those the offer already has.
bool ReadInputDocument(CXmlDocument& input, COffer& offer);

}  // namespace quillora
