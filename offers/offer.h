// One supplier offer: seventeen header fields, each a value with the name of the input
// attribute it is read from, the composed proposal text and the goods lines.
#pragma once

#include <array>
#include <vector>

#include "offers/good_item.h"

namespace quillora {

struct OfferField {
  Text value;
  // The DROW attribute the intake reads the value from.
  Text source;
};

class COffer {
 public:
  OfferField ID, NR, opTP, TP, DT, dDT, bDT, eDT, PayTP, pPay, SM, SR, DCon, ADLCon, SPR, RSN,
      LotID;
  Text ProposalXml;

  COffer() = default;
  // A copy carries sixteen values (not TP), ProposalXml and the goods, but no source
  // names: copies are what the editors work on, and they never read the input again.
  COffer(const COffer& other);
  // The target takes the sixteen values, ProposalXml and the goods, and keeps its own TP
  // and source names: the control's working offer is assigned from the editor's result
  // and must keep the names it was given when it was created.
  COffer& operator=(const COffer& other);

  void AddGood(const CGoodItem& item) { goods_.push_back(item); }
  std::size_t GoodCount() const { return goods_.size(); }
  CGoodItem GoodAt(std::size_t index) const { return goods_.at(index); }
  void RemoveAllGoods() { goods_.clear(); }
  void SetGoods(const std::vector<CGoodItem>& goods) { goods_ = goods; }
  const std::vector<CGoodItem>& Goods() const { return goods_; }

 private:
  void CopyCarriedValues(const COffer& other);

  std::vector<CGoodItem> goods_;
};

// The fields of an offer in declaration order, with the element each is written as and
// the input attribute the working offer reads it from.
struct OfferFieldInfo {
  OfferField COffer::*member;
  const char* element;
  const char* defaultSource;
};
const std::array<OfferFieldInfo, 17>& OfferFields();

}  // namespace quillora
