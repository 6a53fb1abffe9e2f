// Filing of a finished proposal in the offer store document: a reference under the goods
// classifier for every goods line, then the offer entry holding the encrypted text.
#pragma once

#include "offers/offer.h"
#include "xml/xml_document.h"

namespace quillora {

// Adds `text` for `offer` to the loaded store. False only when the classifier could not
// be found or made (so the caller tells the user); a failure after that records its code,
// which keeps the store from being saved.
bool StoreProposal(const COffer& offer, Text text, CXmlDocument& store);

}  // namespace quillora
