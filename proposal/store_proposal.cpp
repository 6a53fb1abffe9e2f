#include "proposal/store_proposal.h"

#include <vector>

#include "offers/store_names.h"
#include "proposal/classifier.h"

namespace quillora {
namespace {

// The first element of `name`; when the store's root lacks it, it is appended to the
// root, so an offer can always be filed, also after the last one was removed. A store
// without any root element stays a failure.
bool FindOrAddContainer(CXmlDocument& store, const char* name, XmlNode& container) {
  if (store.FindFirstElement(name, container)) return true;
  XmlNode root = nullptr;
  if (!store.GetDocumentElement(root)) return false;
  return store.AddElement(name, container, root);
}

// The first child of `parent` whose NM equals `name`, or nullptr.
XmlNode FindNamedChild(CXmlDocument& store, XmlNode parent, const Text& name) {
  XmlNodeList children;
  int32_t count = 0;
  if (!store.GetChildNodes(children, parent) || !store.GetListLength(count, &children)) {
    return nullptr;
  }
  for (int32_t i = 0; i < count; ++i) {
    XmlNode child = nullptr;
    Text childName;
    if (!store.GetListItem(children, i, child)) return nullptr;
    if (!store.GetAttribute(store::kName, childName, child)) return nullptr;
    if (childName == name) return child;
  }
  return nullptr;
}

void FileGoodsLine(CXmlDocument& store, XmlNode classifier, const CGoodItem& good,
                   const Text& offerId) {
  std::vector<Text> chain;
  SplitClassifierPath(chain, good.PATH, "\\");
  chain.push_back(good.NM);

  XmlNode current = classifier;
  for (std::size_t level = 0; level < chain.size(); ++level) {
    const Text& component = chain[level];
    XmlNode match = FindNamedChild(store, current, component);
    if (match == nullptr) {
      const bool last = level + 1 == chain.size();
      store.AddElement(store::kGood, match, current);
      store.SetAttribute(store::kName, component, match);
      store.SetAttribute(store::kId, last ? good.ID : NewClassifierId(), match);
    }
    current = match;
  }
  XmlNode reference = nullptr;
  store.AddElement(store::kOffer, reference, current);
  store.SetAttribute(store::kId, offerId, reference);
}

}  // namespace

bool StoreProposal(const COffer& offer, Text text, CXmlDocument& store) {
  for (const CGoodItem& good : offer.Goods()) {
    XmlNode classifier = nullptr;
    if (!FindOrAddContainer(store, store::kClassifier, classifier)) return false;
    // Failures from here on record their code and make every later call refuse.
    FileGoodsLine(store, classifier, good, offer.ID.value);
  }

  XmlNode offers = nullptr;
  FindOrAddContainer(store, store::kOffers, offers);
  XmlNode entry = nullptr;
  if (offers != nullptr) {
    store.AddElement(store::kOffer, entry, offers);
    store.SetAttribute(store::kId, offer.ID.value, entry);
  }
  XmlNode data = nullptr;
  if (entry != nullptr) store.AppendTextNode(store::kEntryTextName, data, entry);
  if (data != nullptr) store.SetNodeValue(text, data);
  return true;
}

}  // namespace quillora
