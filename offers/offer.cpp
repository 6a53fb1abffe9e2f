#include "offers/offer.h"

namespace quillora {

const std::array<OfferFieldInfo, 17>& OfferFields() {
  static const std::array<OfferFieldInfo, 17> fields = {{
      {&COffer::ID, "ID", "oA"},
      {&COffer::NR, "NR", "oG"},
      {&COffer::opTP, "opTP", "dTID"},
      {&COffer::TP, "TP", "oKID"},
      {&COffer::DT, "DT", "oB"},
      {&COffer::dDT, "dDT", "oD"},
      {&COffer::bDT, "bDT", "oC"},
      {&COffer::eDT, "eDT", "oE"},
      {&COffer::PayTP, "PayTP", "dP"},
      {&COffer::pPay, "pPay", "oH"},
      {&COffer::SM, "SM", "oN"},
      {&COffer::SR, "SR", "oO"},
      {&COffer::DCon, "DCon", "dC"},
      {&COffer::ADLCon, "ADLCon", "dB"},
      {&COffer::SPR, "SPR", "dO"},
      {&COffer::RSN, "RSN", "oF"},
      {&COffer::LotID, "LotID", "lF"},
  }};
  return fields;
}

void COffer::CopyCarriedValues(const COffer& other) {
  for (const OfferFieldInfo& field : OfferFields()) {
    if (field.member == &COffer::TP) continue;
    (this->*field.member).value = (other.*field.member).value;
  }
  ProposalXml = other.ProposalXml;
  goods_ = other.goods_;
}

COffer::COffer(const COffer& other) {
  CopyCarriedValues(other);
}

COffer& COffer::operator=(const COffer& other) {
  if (this != &other) CopyCarriedValues(other);
  return *this;
}

}  // namespace quillora
