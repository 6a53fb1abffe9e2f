// RemoveNode and its climb through the parents it leaves empty.
#include "tests/xml/xml_fixture.h"

namespace quillora::testing {
namespace {

using RemoveTest = XmlDocumentTest;

constexpr char kStore[] =
    "<?xml version='1.0' encoding='windows-1251'?>"
    "<!--Velt.Quillora data file-->"
    "<ROOT Gen='Velt.Quillora' Ver='1.0'>"
    "<GOODS_CLASSIFIER><GOOD NM='a' ID='1'><GOOD NM='b' ID='2'><OFFER ID='7'/></GOOD></GOOD>"
    "</GOODS_CLASSIFIER>"
    "<OFFERS><OFFER ID='7'>BASE64</OFFER></OFFERS>"
    "</ROOT>";

XmlNode LastOffer(CXmlDocument& doc) {
  XmlNodeList offers;
  int32_t count = 0;
  EXPECT_TRUE(doc.FindElements("OFFER", offers, count));
  return offers.Item(count - 1);
}

// The only entry of OFFERS goes with OFFERS; ROOT keeps its classifier.
TEST_F(RemoveTest, EmptiedListGoesAndTheRootStays) {
  Load(kStore);
  ASSERT_TRUE(doc_.RemoveNode(LastOffer(doc_), true));
  EXPECT_EQ(ChildNames(Find("ROOT")), (std::vector<Text>{"GOODS_CLASSIFIER"}));
  EXPECT_EQ(RecordedCode(), 0);
}

// Removing every offer empties the whole chain up to the document, which keeps its
// declaration and comment, so the climb ends there without a code.
TEST_F(RemoveTest, ClimbStopsAtTheDocumentThatKeepsItsDeclaration) {
  Load(kStore);
  ASSERT_TRUE(doc_.RemoveNode(LastOffer(doc_), true));
  ASSERT_TRUE(doc_.RemoveNode(LastOffer(doc_), true));
  EXPECT_EQ(TopLevelNames(), (std::vector<Text>{"xml", "#comment"}));
  EXPECT_EQ(RecordedCode(), 0);
}

TEST_F(RemoveTest, WithoutTheFlagParentsStay) {
  Load(kStore);
  ASSERT_TRUE(doc_.RemoveNode(LastOffer(doc_), false));
  EXPECT_EQ(ChildNames(Find("ROOT")), (std::vector<Text>{"GOODS_CLASSIFIER", "OFFERS"}));
  EXPECT_EQ(ChildNames(Find("OFFERS")), std::vector<Text>{});
}

// A document built without a declaration empties completely: going further records -9,
// while the removal itself succeeded.
TEST_F(RemoveTest, EmptyingTheDocumentItselfRecordsMinus9) {
  XmlNode root = nullptr, child = nullptr;
  ASSERT_TRUE(doc_.AddElement("R", root));
  ASSERT_TRUE(doc_.AddElement("C", child, root));
  EXPECT_TRUE(doc_.RemoveNode(child, true));
  EXPECT_EQ(RecordedCode(), -9);
  ScopedErrorRegister fresh;
  EXPECT_EQ(TopLevelNames(), std::vector<Text>{});
}

// A removed node stays readable through a reference still held, but has no parent.
TEST_F(RemoveTest, RemovedNodeHasNoParent) {
  Load(kStore);
  XmlNode offer = LastOffer(doc_);
  ASSERT_TRUE(doc_.RemoveNode(offer, false));
  Text id;
  ASSERT_TRUE(doc_.GetAttribute("ID", id, offer));
  EXPECT_EQ(id, "7");
  EXPECT_FALSE(doc_.RemoveNode(nullptr, true));
  EXPECT_EQ(RecordedCode(), 0);
  EXPECT_FALSE(doc_.RemoveNode(offer, true));
  EXPECT_EQ(RecordedCode(), -9);
}

}  // namespace
}  // namespace quillora::testing
