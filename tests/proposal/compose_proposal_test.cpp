#include "proposal/compose_proposal.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "proposal/presign.h"
#include "tests/support/recording_pause.h"
#include "tests/support/text.h"

namespace quillora {
namespace {

using testing::W;

COffer ExampleOffer() {
  COffer offer;
  offer.LotID.value = "17";
  offer.ID.value = "123";
  offer.DT.value = "01/02/2003";
  CGoodItem good;
  good.ID = "1";
  good.NM = W("Бумага");
  good.PR = "10";
  good.QTY = "5";
  good.SM = "50.00";
  offer.AddGood(good);
  return offer;
}

Text PreSign(const Text& xml, const Text& start) {
  platform::AutomationString sequence = BuildPreSignSequence(xml, start);
  EXPECT_NE(sequence, nullptr);
  return WideToAnsi(platform::StringView(sequence.get()));
}

class ComposeProposalTest : public ::testing::Test {
 protected:
  testing::QuietRuntime runtime_;
};

TEST_F(ComposeProposalTest, ExampleComesOutByteForByteWithBothSequences) {
  const COffer offer = ExampleOffer();
  const Text document = ComposeProposal(offer, offer.Goods(), CalendarDate{5, 3, 2003});
  const Text expected =
      W("<?xml version='1.0' encoding='windows-1251'?>\n"
        "<ZARN_ROOT>\n"
        "\t<DOC TS='05/03/2003' TYPE='offer'>\n"
        "\t\t<MAIN_PART>\n"
        "\t\t\t<PUBLIC>\n"
        "\t\t\t\t<LotID>17</LotID>\n"
        "\t\t\t\t<GOOD>\n"
        "\t\t\t\t\t<ID>1</ID>\n"
        "\t\t\t\t\t<NM>Бумага</NM>\n"
        "\t\t\t\t\t<PR>10</PR>\n"
        "\t\t\t\t\t<QTY>5</QTY>\n"
        "\t\t\t\t\t<SM>50.00</SM>\n"
        "\t\t\t\t</GOOD>\n"
        "\t\t\t</PUBLIC>\n"
        "\t\t\t<PRIVATE>\n"
        "\t\t\t\t<ID>123</ID>\n"
        "\t\t\t\t<DT>01/02/2003</DT>\n"
        "\t\t\t</PRIVATE>\n"
        "\t\t\t<ATTACHMENTS>\n"
        "\t\t\t</ATTACHMENTS>\n"
        "\t\t</MAIN_PART>\n"
        "\t</DOC>\n"
        "</ZARN_ROOT>\n");
  EXPECT_EQ(document, expected);
  EXPECT_EQ(std::count(document.begin(), document.end(), '\n'), 23);

  EXPECT_EQ(PreSign(document, "PRIVATE"), "3|123A|01/02/2003");
  EXPECT_EQ(PreSign(document, ""), W("2|171|16|Бумага2|101|55|50.003|123A|01/02/2003"));
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
}

TEST_F(ComposeProposalTest, EmptyPartsLeaveNoLinesButKeepTheFrame) {
  // No LotID, no goods, no PRIVATE values: PUBLIC and PRIVATE open and close on
  // consecutive lines, 13 lines in all.
  const COffer empty;
  const Text document = ComposeProposal(empty, {}, CalendarDate{1, 1, 2004});
  EXPECT_NE(document.find("\t\t\t<PUBLIC>\n\t\t\t</PUBLIC>\n\t\t\t<PRIVATE>\n\t\t\t</PRIVATE>\n"),
            Text::npos);
  EXPECT_EQ(std::count(document.begin(), document.end(), '\n'), 13);
  EXPECT_NE(document.find("TS='01/01/2004'"), Text::npos);

  // A goods line with every value empty still gives its two GOOD lines.
  const Text oneEmptyLine = ComposeProposal(empty, {CGoodItem{}}, CalendarDate{31, 12, 2003});
  EXPECT_NE(oneEmptyLine.find("\t\t\t<PUBLIC>\n\t\t\t\t<GOOD>\n\t\t\t\t</GOOD>\n\t\t\t</PUBLIC>\n"),
            Text::npos);
  EXPECT_NE(oneEmptyLine.find("TS='31/12/2003'"), Text::npos);
}

TEST_F(ComposeProposalTest, LineCountFollowsTheValuesPresent) {
  COffer offer = ExampleOffer();  // LotID, two PRIVATE values, one line with five values
  offer.TP.value = "t";           // the composer writes TP; only copies drop it
  CGoodItem second;
  second.NM = "x";
  offer.AddGood(second);
  const Text document = ComposeProposal(offer, offer.Goods(), CalendarDate{5, 3, 2003});
  EXPECT_EQ(std::count(document.begin(), document.end(), '\n'), 13 + 1 + (2 + 5) + (2 + 1) + 3);
  EXPECT_NE(document.find("\t\t\t\t<TP>t</TP>\n"), Text::npos);
}

TEST_F(ComposeProposalTest, PrivateValuesComeInTheirFixedOrder) {
  COffer offer;
  for (const OfferFieldInfo& field : OfferFields()) (offer.*field.member).value = field.element;
  const Text document = ComposeProposal(offer, {}, CalendarDate{5, 3, 2003});
  const char* order[] = {"ID",    "NR",   "opTP", "TP", "DT",   "dDT",    "bDT", "eDT",
                         "PayTP", "pPay", "SM",   "SR", "DCon", "ADLCon", "SPR", "RSN"};
  std::size_t at = document.find("<PRIVATE>");
  for (const char* name : order) {
    const Text line = std::string("\t\t\t\t<") + name + ">" + name + "</" + name + ">\n";
    const std::size_t found = document.find(line, at);
    ASSERT_NE(found, Text::npos) << name;
    at = found;
  }
  EXPECT_EQ(document.find("<LotID>", document.find("<PRIVATE>")), Text::npos);
}

TEST_F(ComposeProposalTest, SpecialCharactersAreEscapedInTheDocumentAndPlainInTheSequence) {
  COffer offer;
  offer.ID.value = "a<b & \"c\" 'd'>";
  offer.NR.value = "   ";  // blanks only: written, but the parser drops such a text
  const Text document = ComposeProposal(offer, {}, CalendarDate{5, 3, 2003});
  EXPECT_NE(document.find("<ID>a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;</ID>"), Text::npos);
  EXPECT_NE(document.find("<NR>   </NR>"), Text::npos);
  EXPECT_EQ(PreSign(document, "PRIVATE"), "E|a<b & \"c\" 'd'>");
}

}  // namespace
}  // namespace quillora
