#include "proposal/store_proposal.h"

#include <gtest/gtest.h>

#include "proposal/classifier.h"
#include "tests/support/recording_pause.h"
#include "tests/support/text.h"

namespace quillora {
namespace {

using testing::W;

constexpr const char* kEmptyStore =
    "<?xml version='1.0'?><ROOT Gen='Velt.Quillora' Ver='1.0'>"
    "<GOODS_CLASSIFIER/><OFFERS/></ROOT>";

CGoodItem Line(const Text& id, const Text& name, const Text& path) {
  CGoodItem good;
  good.ID = id;
  good.NM = name;
  good.PATH = path;
  return good;
}

class StoreProposalTest : public ::testing::Test {
 protected:
  // Loads the store, files the offer and returns the store's markup (without the
  // declaration), with generated identifiers replaced by "*".
  Text File(const Text& store, const COffer& offer, const Text& text, bool* stored = nullptr) {
    EXPECT_TRUE(document_.LoadXml(store, nullptr));
    const bool result = StoreProposal(offer, text, document_);
    if (stored != nullptr) *stored = result;
    XmlNode root = nullptr;
    Text markup;
    if (document_.GetDocumentElement(root)) document_.GetNodeXml(markup, root);
    return MaskGeneratedIds(markup);
  }

  static Text MaskGeneratedIds(Text markup) {
    // Generated identifiers are long runs of digits; goods identifiers in these tests
    // are short.
    Text out;
    for (std::size_t i = 0; i < markup.size();) {
      std::size_t j = i;
      while (j < markup.size() && markup[j] >= '0' && markup[j] <= '9') ++j;
      if (j - i >= 3) {
        out += '*';
        i = j;
      } else {
        out += markup[i++];
      }
    }
    return out;
  }

  testing::QuietRuntime runtime_;
  CXmlDocument document_;
};

TEST_F(StoreProposalTest, BuildsAndSharesChainsThenAppendsTheEntry) {
  COffer offer;
  offer.ID.value = "17";
  offer.AddGood(Line("7", W("Бумага"), W("\\Канцтовары\\Офис\\")));
  offer.AddGood(Line("8", W("Бумага"), W("/Канцтовары/Офис/")));  // same chain, other form
  offer.AddGood(Line("9", "Pen", ""));                            // straight under the classifier
  bool stored = false;
  const Text markup = File(kEmptyStore, offer, "QUJD", &stored);
  EXPECT_TRUE(stored);
  EXPECT_EQ(markup, W("<ROOT Gen=\"Velt.Quillora\" Ver=\"1.0\"><GOODS_CLASSIFIER>"
                      "<GOOD NM=\"Канцтовары\" ID=\"*\"><GOOD NM=\"Офис\" ID=\"*\">"
                      "<GOOD NM=\"Бумага\" ID=\"7\"><OFFER ID=\"17\"/><OFFER ID=\"17\"/></GOOD>"
                      "</GOOD></GOOD><GOOD NM=\"Pen\" ID=\"9\"><OFFER ID=\"17\"/></GOOD>"
                      "</GOODS_CLASSIFIER><OFFERS><OFFER ID=\"17\">QUJD</OFFER></OFFERS></ROOT>"));
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
}

TEST_F(StoreProposalTest, ExistingCategoriesKeepTheirIdsAndOnlyMissingLevelsAreAdded) {
  COffer offer;
  offer.ID.value = "5";
  offer.AddGood(Line("2", "leaf", "\\a\\\\b\\"));  // doubled backslashes are one
  const Text markup = File(
      "<ROOT><GOODS_CLASSIFIER><GOOD NM='x' ID='1'/><GOOD NM='a' ID='10'>"
      "<OFFER ID='old'/></GOOD></GOODS_CLASSIFIER><OFFERS><OFFER ID='old'>T</OFFER></OFFERS>"
      "</ROOT>",
      offer, "U");
  EXPECT_EQ(markup,
            "<ROOT><GOODS_CLASSIFIER><GOOD NM=\"x\" ID=\"1\"/><GOOD NM=\"a\" ID=\"10\">"
            "<OFFER ID=\"old\"/><GOOD NM=\"b\" ID=\"*\"><GOOD NM=\"leaf\" ID=\"2\">"
            "<OFFER ID=\"5\"/></GOOD></GOOD></GOOD></GOODS_CLASSIFIER><OFFERS>"
            "<OFFER ID=\"old\">T</OFFER><OFFER ID=\"5\">U</OFFER></OFFERS></ROOT>");
}

TEST_F(StoreProposalTest, MissingContainersAreAppendedToTheRoot) {
  // What the manager leaves after removing the last offer: a bare ROOT.
  COffer offer;
  offer.ID.value = "1";
  offer.AddGood(Line("1", "n", ""));
  bool stored = false;
  const Text markup = File("<ROOT Gen='Velt.Quillora' Ver='1.0'/>", offer, "T", &stored);
  EXPECT_TRUE(stored);
  EXPECT_EQ(markup,
            "<ROOT Gen=\"Velt.Quillora\" Ver=\"1.0\"><GOODS_CLASSIFIER><GOOD NM=\"n\" ID=\"1\">"
            "<OFFER ID=\"1\"/></GOOD></GOODS_CLASSIFIER><OFFERS><OFFER ID=\"1\">T</OFFER>"
            "</OFFERS></ROOT>");
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
}

TEST_F(StoreProposalTest, AnOfferWithoutGoodsAddsOnlyTheEntry) {
  COffer offer;
  offer.ID.value = "3";
  EXPECT_EQ(File("<ROOT><OFFERS/></ROOT>", offer, "T"),
            "<ROOT><OFFERS><OFFER ID=\"3\">T</OFFER></OFFERS></ROOT>");
}

TEST_F(StoreProposalTest, RefusesWhenAnErrorWasRecordedBefore) {
  ASSERT_TRUE(document_.LoadXml(kEmptyStore, nullptr));
  RecordError(-21);
  COffer withGoods;
  withGoods.AddGood(Line("1", "n", ""));
  EXPECT_FALSE(StoreProposal(withGoods, "T", document_));
  EXPECT_TRUE(StoreProposal(COffer(), "T", document_));
  EXPECT_EQ(TheErrorRegister().GetError(), -21);
}

TEST(SplitClassifierPathTest, TakesOnlyTextsBetweenTwoSeparators) {
  struct Case {
    Text path;
    std::vector<Text> components;
  } cases[] = {
      {W("\\Канцтовары\\Бумага\\"), {W("Канцтовары"), W("Бумага")}},
      {W("Канцтовары\\Бумага"), {}},
      {"\\a\\\\b\\", {"a", "b"}},
      {"/a/b/", {"a", "b"}},
      {"a\\b", {}},
      {"", {}},
      {"\\\\\\a\\", {"", "a"}},    // three backslashes become two: an empty component first
      {"\\\\\\\\a\\", {"", "a"}},  // four become two as well
      {"\\\\", {}},
      {"\\x\\\\\\y\\", {"x", "", "y"}},
  };
  for (const Case& c : cases) {
    std::vector<Text> components = {"stale"};
    SplitClassifierPath(components, c.path, "\\");
    EXPECT_EQ(components, c.components) << c.path;
  }
}

TEST(NewClassifierIdTest, IsDecimalDigitsAndFresh) {
  const Text a = NewClassifierId();
  const Text b = NewClassifierId();
  EXPECT_NE(a, b);
  for (const Text& id : {a, b}) {
    EXPECT_GE(id.size(), 3u);
    EXPECT_LE(id.size(), 20u);
    EXPECT_EQ(id.find_first_not_of("0123456789"), Text::npos) << id;
  }
}

}  // namespace
}  // namespace quillora
