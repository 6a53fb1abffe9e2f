// One goods or service line of an offer.
#pragma once

#include <cstdint>

#include "xml/text_conversion.h"

namespace quillora {

struct CGoodItem {
  Text ID;
  Text NM;
  Text PR;
  Text QTY;
  Text MSR;
  Text SM;
  Text DSC;
  // 1 when the goods line editor was closed with OK, 0 when it was cancelled.
  int32_t Accepted = 0;
  // Where the line sits in the goods classifier, components between backslashes.
  Text PATH;

  friend bool operator==(const CGoodItem&, const CGoodItem&) = default;
};

}  // namespace quillora
