#include "offers/working_offer.h"

namespace quillora {

void ResetWorkingOffer(COffer& offer, const CalendarDate& today) {
  for (const OfferFieldInfo& field : OfferFields()) {
    OfferField& target = offer.*field.member;
    target.value.clear();
    target.source = field.defaultSource;
  }
  offer.DT.value = FormatDate(today);
  offer.ProposalXml.clear();
}

}  // namespace quillora
