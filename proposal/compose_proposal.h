// The proposal document: the fixed-layout XML text that is signed, encrypted and sent to
// the procurement site. Its layout is a wire format: names, order, tabs and line feeds
// are all fixed, because the site rebuilds the signed sequences from it.
#pragma once

#include <vector>

#include "offers/calendar_date.h"
#include "offers/offer.h"

namespace quillora {

inline constexpr std::string_view kProposalDeclaration =
    "<?xml version='1.0' encoding='windows-1251'?>";

// The document for `offer` (LotID and the sixteen PRIVATE values) with one GOOD block per
// row, in order, stamped with `date`.
Text ComposeProposal(const COffer& offer, const std::vector<CGoodItem>& rows,
                     const CalendarDate& date);

}  // namespace quillora
