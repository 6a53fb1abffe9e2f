// The reset a new control gives its working offer.
#pragma once

#include "offers/calendar_date.h"
#include "offers/offer.h"

namespace quillora {

// Values empty except DT (today as DD/MM/YYYY), the default source names, ProposalXml
// empty. The goods are not touched.
void ResetWorkingOffer(COffer& offer, const CalendarDate& today);

}  // namespace quillora
