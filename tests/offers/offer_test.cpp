#include "offers/offer.h"

#include <gtest/gtest.h>

#include "offers/calendar_date.h"
#include "offers/working_offer.h"

namespace quillora {
namespace {

COffer FilledOffer() {
  COffer offer;
  for (const OfferFieldInfo& field : OfferFields()) {
    (offer.*field.member).value = std::string("v-") + field.element;
    (offer.*field.member).source = std::string("s-") + field.element;
  }
  offer.ProposalXml = "<doc/>";
  for (int i = 0; i < 3; ++i) {
    CGoodItem good;
    good.ID = std::to_string(i);
    good.NM = "name" + good.ID;
    good.Accepted = i % 2;
    good.PATH = "\\cat" + good.ID + "\\";
    offer.AddGood(good);
  }
  return offer;
}

TEST(OfferTest, CopyCarriesSixteenValuesProposalAndGoodsButNotTpOrSourceNames) {
  const COffer source = FilledOffer();
  const COffer copy(source);
  for (const OfferFieldInfo& field : OfferFields()) {
    SCOPED_TRACE(field.element);
    if (field.member == &COffer::TP) {
      EXPECT_EQ((copy.*field.member).value, "");
    } else {
      EXPECT_EQ((copy.*field.member).value, (source.*field.member).value);
    }
    EXPECT_EQ((copy.*field.member).source, "");
  }
  EXPECT_EQ(copy.ProposalXml, "<doc/>");
  EXPECT_EQ(copy.Goods(), source.Goods());
  EXPECT_EQ(copy.GoodAt(1).Accepted, 1);
  EXPECT_EQ(copy.GoodAt(2).PATH, "\\cat2\\");
}

TEST(OfferTest, AssignmentKeepsTargetTpAndSourceNamesAndReplacesGoods) {
  COffer working;
  ResetWorkingOffer(working, CalendarDate{5, 3, 2002});
  working.TP.value = "kept";
  CGoodItem old;
  old.ID = "old";
  working.AddGood(old);

  const COffer edited(FilledOffer());  // a copy: empty source names, empty TP
  working = edited;

  EXPECT_EQ(working.TP.value, "kept");
  EXPECT_EQ(working.ID.source, "oA");
  EXPECT_EQ(working.LotID.source, "lF");
  EXPECT_EQ(working.ID.value, "v-ID");
  EXPECT_EQ(working.GoodCount(), 3u);
  EXPECT_EQ(working.GoodAt(0).ID, "0");
}

TEST(OfferTest, DefaultsAreEmpty) {
  const CGoodItem good;
  EXPECT_EQ(good.Accepted, 0);
  EXPECT_TRUE(good.ID.empty() && good.NM.empty() && good.PATH.empty() && good.SM.empty());
  const COffer offer;
  for (const OfferFieldInfo& field : OfferFields()) {
    EXPECT_TRUE((offer.*field.member).value.empty());
    EXPECT_TRUE((offer.*field.member).source.empty());
  }
  EXPECT_EQ(offer.GoodCount(), 0u);
}

TEST(OfferTest, WorkingOfferResetGivesDefaultSourceNamesAndTodayKeepingGoods) {
  COffer offer = FilledOffer();
  ResetWorkingOffer(offer, CalendarDate{5, 3, 2002});
  const char* expected[] = {"oA", "oG", "dTID", "oKID", "oB", "oD", "oC", "oE", "dP",
                            "oH", "oN", "oO",   "dC",   "dB", "dO", "oF", "lF"};
  int i = 0;
  for (const OfferFieldInfo& field : OfferFields()) {
    EXPECT_EQ((offer.*field.member).source, expected[i++]);
    if (field.member != &COffer::DT) {
      EXPECT_EQ((offer.*field.member).value, "");
    }
  }
  EXPECT_EQ(offer.DT.value, "05/03/2002");
  EXPECT_EQ(offer.ProposalXml, "");
  EXPECT_EQ(offer.GoodCount(), 3u);
}

TEST(CalendarDateTest, FormatsZeroPaddedAndParsesBack) {
  struct Case {
    CalendarDate date;
    const char* text;
  } cases[] = {{{5, 3, 2003}, "05/03/2003"},
               {{1, 1, 2004}, "01/01/2004"},
               {{31, 12, 2003}, "31/12/2003"},
               {{9, 10, 987}, "09/10/0987"}};
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDate(c.date), c.text);
    CalendarDate parsed;
    ASSERT_TRUE(ParseDate(c.text, parsed));
    EXPECT_EQ(FormatDate(parsed), c.text);
  }
  CalendarDate unused;
  for (const char* bad : {"5/3/2003", "05-03-2003", "32/01/2003", "01/13/2003", "aa/bb/cccc", ""}) {
    EXPECT_FALSE(ParseDate(bad, unused)) << bad;
  }
}

}  // namespace
}  // namespace quillora
