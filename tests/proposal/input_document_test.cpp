#include "proposal/input_document.h"

#include <gtest/gtest.h>

#include "offers/working_offer.h"
#include "tests/support/recording_pause.h"
#include "tests/support/text.h"

namespace quillora {
namespace {

using testing::W;

class InputDocumentTest : public ::testing::Test {
 protected:
  InputDocumentTest() { ResetWorkingOffer(offer_, CalendarDate{11, 12, 2026}); }

  bool Read(const Text& xml) {
    CXmlDocument input;
    EXPECT_TRUE(input.LoadXml(xml, nullptr));
    return ReadInputDocument(input, offer_);
  }

  testing::QuietRuntime runtime_;
  COffer offer_;
};

TEST_F(InputDocumentTest, ReadsTheHeaderAndGoodsOfTheExample) {
  ASSERT_TRUE(
      Read(W("<R><DROW oA='17' oG='3' oB='05-03-2002' lF='L-9'/>"
             "<OFFG gE='7' dG='Бумага' gA='10' PATH='\\Канцтовары\\'/>"
             "<OFFG dG='Ручка'/></R>")));
  EXPECT_EQ(offer_.ID.value, "17");
  EXPECT_EQ(offer_.NR.value, "3");
  EXPECT_EQ(offer_.DT.value, "05/03/2002");
  EXPECT_EQ(offer_.LotID.value, "L-9");  // no replacement outside the dates
  EXPECT_EQ(offer_.SM.value, "");
  ASSERT_EQ(offer_.GoodCount(), 2u);
  EXPECT_EQ(offer_.GoodAt(0).ID, "7");
  EXPECT_EQ(offer_.GoodAt(0).NM, W("Бумага"));
  EXPECT_EQ(offer_.GoodAt(0).QTY, "10");
  EXPECT_EQ(offer_.GoodAt(0).PATH, W("\\Канцтовары\\"));
  EXPECT_EQ(offer_.GoodAt(1).ID, "1");
  EXPECT_EQ(offer_.GoodAt(1).NM, W("Ручка"));
  EXPECT_EQ(offer_.GoodAt(1).PR, "");
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
}

TEST_F(InputDocumentTest, EveryAttributeLandsInItsField) {
  ASSERT_TRUE(Read(
      "<DROW oA='a' oG='b' dTID='c' oKID='d' oB='1-2' oD='3-4' oC='5-6' oE='7-8' dP='e' oH='f' "
      "oN='g' oO='h' dC='i' dB='j' dO='k' oF='l' lF='m-n'>"
      "<OFFG gE='1' dG='2' gC='3' gA='4' gG='5' gF='6' gD='7' PATH='8'/></DROW>"));
  EXPECT_EQ(offer_.opTP.value, "c");
  EXPECT_EQ(offer_.TP.value, "d");
  EXPECT_EQ(offer_.dDT.value, "3/4");
  EXPECT_EQ(offer_.bDT.value, "5/6");
  EXPECT_EQ(offer_.eDT.value, "7/8");
  EXPECT_EQ(offer_.PayTP.value, "e");
  EXPECT_EQ(offer_.pPay.value, "f");
  EXPECT_EQ(offer_.SM.value, "g");
  EXPECT_EQ(offer_.SR.value, "h");
  EXPECT_EQ(offer_.DCon.value, "i");
  EXPECT_EQ(offer_.ADLCon.value, "j");
  EXPECT_EQ(offer_.SPR.value, "k");
  EXPECT_EQ(offer_.RSN.value, "l");
  EXPECT_EQ(offer_.LotID.value, "m-n");
  const CGoodItem expected{"1", "2", "3", "4", "5", "6", "7", 0, "8"};
  ASSERT_EQ(offer_.GoodCount(), 1u);
  EXPECT_EQ(offer_.GoodAt(0), expected);
}

TEST_F(InputDocumentTest, DrowWithoutAttributesEmptiesTheHeaderIncludingToday) {
  ASSERT_TRUE(Read("<DROW/>"));
  EXPECT_EQ(offer_.DT.value, "");
  EXPECT_EQ(offer_.GoodCount(), 0u);
}

TEST_F(InputDocumentTest, OnlyTheFirstDrowIsReadAndNestedOffgCount) {
  ASSERT_TRUE(
      Read("<R><DROW oA='first'/><DROW oA='second'/>"
           "<X><Y><Z><OFFG/></Z></Y></X><OFFG/><OFFG/></R>"));
  EXPECT_EQ(offer_.ID.value, "first");
  ASSERT_EQ(offer_.GoodCount(), 3u);
  EXPECT_EQ(offer_.GoodAt(0).ID, "0");
  EXPECT_EQ(offer_.GoodAt(1).ID, "1");
  EXPECT_EQ(offer_.GoodAt(2).ID, "2");
}

TEST_F(InputDocumentTest, GoodsAreAppendedToThoseAlreadyThere) {
  ASSERT_TRUE(Read("<R><DROW/><OFFG/><OFFG/></R>"));
  ASSERT_TRUE(Read("<R><DROW/><OFFG/><OFFG/></R>"));
  EXPECT_EQ(offer_.GoodCount(), 4u);
}

TEST_F(InputDocumentTest, NoDrowFailsWithoutCodeAndChangesNothing) {
  EXPECT_FALSE(Read("<R><OFFG dG='x'/></R>"));
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
  EXPECT_EQ(offer_.GoodCount(), 0u);
  EXPECT_EQ(offer_.DT.value, "11/12/2026");
}

TEST_F(InputDocumentTest, RefusesWhileAnErrorIsRecorded) {
  CXmlDocument input;
  ASSERT_TRUE(input.LoadXml("<DROW oA='1'/>", nullptr));
  RecordError(-21);
  EXPECT_FALSE(ReadInputDocument(input, offer_));
  EXPECT_EQ(offer_.ID.value, "");
}

}  // namespace
}  // namespace quillora
