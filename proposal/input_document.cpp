#include "proposal/input_document.h"

#include <algorithm>
#include <array>
#include <string>

#include "control/error_register.h"

namespace quillora {
namespace {

struct HeaderAttribute {
  OfferField COffer::*member;
  const char* name;
  bool isDate;  // dates arrive as DD-MM-YYYY and are kept as DD/MM/YYYY
};

// The order in which the header is read; SM comes before pPay here.
constexpr std::array<HeaderAttribute, 17> kHeader = {{
    {&COffer::ID, "oA", false},
    {&COffer::NR, "oG", false},
    {&COffer::opTP, "dTID", false},
    {&COffer::TP, "oKID", false},
    {&COffer::DT, "oB", true},
    {&COffer::dDT, "oD", true},
    {&COffer::bDT, "oC", true},
    {&COffer::eDT, "oE", true},
    {&COffer::PayTP, "dP", false},
    {&COffer::SM, "oN", false},
    {&COffer::pPay, "oH", false},
    {&COffer::SR, "oO", false},
    {&COffer::DCon, "dC", false},
    {&COffer::ADLCon, "dB", false},
    {&COffer::SPR, "dO", false},
    {&COffer::RSN, "oF", false},
    {&COffer::LotID, "lF", false},
}};

struct GoodAttribute {
  Text CGoodItem::*member;
  const char* name;
};

constexpr std::array<GoodAttribute, 8> kGood = {{
    {&CGoodItem::ID, "gE"},
    {&CGoodItem::NM, "dG"},
    {&CGoodItem::PR, "gC"},
    {&CGoodItem::QTY, "gA"},
    {&CGoodItem::MSR, "gG"},
    {&CGoodItem::SM, "gF"},
    {&CGoodItem::DSC, "gD"},
    {&CGoodItem::PATH, "PATH"},
}};

}  // namespace

bool ReadInputDocument(CXmlDocument& input, COffer& offer) {
  if (ErrorRecorded()) return false;

  XmlNode row = nullptr;
  if (!input.FindFirstElement("DROW", row)) return false;
  for (const HeaderAttribute& attribute : kHeader) {
    OfferField& field = offer.*attribute.member;
    if (!input.GetAttribute(attribute.name, field.value, row)) return false;
    if (attribute.isDate) std::replace(field.value.begin(), field.value.end(), '-', '/');
  }

  XmlNodeList lines;
  int32_t count = 0;
  if (!input.FindElements("OFFG", lines, count)) return false;
  for (int32_t i = 0; i < count; ++i) {
    CGoodItem good;
    XmlNode item = nullptr;
    if (!input.GetListItem(lines, i, item)) return false;
    for (const GoodAttribute& attribute : kGood) {
      if (!input.GetAttribute(attribute.name, good.*attribute.member, item)) return false;
      if (attribute.member == &CGoodItem::ID && good.ID.empty()) good.ID = std::to_string(i);
    }
    offer.AddGood(good);
  }
  return true;
}

}  // namespace quillora
