#include "proposal/compose_proposal.h"

#include "xml/xml_builders.h"

namespace quillora {
namespace {

void AppendGood(Text& out, const CGoodItem& good) {
  out += "\t\t\t\t<GOOD>\n";
  out += XmlElementLine(5, "ID", good.ID);
  out += XmlElementLine(5, "NM", good.NM);
  out += XmlElementLine(5, "PR", good.PR);
  out += XmlElementLine(5, "QTY", good.QTY);
  out += XmlElementLine(5, "MSR", good.MSR);
  out += XmlElementLine(5, "SM", good.SM);
  out += XmlElementLine(5, "DSC", good.DSC);
  out += "\t\t\t\t</GOOD>\n";
}

}  // namespace

Text ComposeProposal(const COffer& offer, const std::vector<CGoodItem>& rows,
                     const CalendarDate& date) {
  Text out;
  out += kProposalDeclaration;
  out += '\n';
  out += XmlOpenTagLine(0, "ZARN_ROOT", "");
  out += XmlOpenTagLine(1, "DOC", "TS='" + FormatDate(date) + "' TYPE='offer'");
  out += XmlOpenTagLine(2, "MAIN_PART", "");
  out += XmlOpenTagLine(3, "PUBLIC", "");
  out += XmlElementLine(4, "LotID", offer.LotID.value);
  for (const CGoodItem& good : rows) AppendGood(out, good);
  out += XmlCloseTagLine(3, "PUBLIC");
  out += XmlOpenTagLine(3, "PRIVATE", "");
  for (const OfferFieldInfo& field : OfferFields()) {
    if (field.member == &COffer::LotID) continue;  // LotID is public and written above
    out += XmlElementLine(4, field.element, (offer.*field.member).value);
  }
  out += XmlCloseTagLine(3, "PRIVATE");
  out += XmlOpenTagLine(3, "ATTACHMENTS", "");
  out += XmlCloseTagLine(3, "ATTACHMENTS");
  out += XmlCloseTagLine(2, "MAIN_PART");
  out += XmlCloseTagLine(1, "DOC");
  out += XmlCloseTagLine(0, "ZARN_ROOT");
  return out;
}

}  // namespace quillora
