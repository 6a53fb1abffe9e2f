// MakeEncProposal from end to end on a sandboxed security client: the reference engine
// signs and encrypts, the store file receives the result.
#include <gtest/gtest.h>

#include "control/error_register.h"
#include "crypto/crypto_operations.h"
#include "proposal/encrypted_proposal.h"
#include "tests/control/control_fixture.h"
#include "tests/support/sandbox_fixture.h"
#include "tests/support/text.h"

namespace quillora {
namespace {

using testing::W;

const Text kInput =
    W("<R><DROW oA='17' oG='3' oB='05-03-2002' lF='L-9'/>"
      "<OFFG gE='7' dG='Бумага' gC='10' gA='5' gF='50.00' PATH='\\Канцтовары\\'/>"
      "<OFFG dG='Ручка' gC='2' gA='3' gF='6.00'/></R>");

std::string Narrow(const platform::AutomationString& text) {
  return WideToAnsi(text.get());
}

// The text of the last offer entry of a store.
std::string LastEntry(const std::string& store) {
  const auto close = store.rfind("</OFFER>");
  const auto start = store.find('>', store.rfind("<OFFER ID", close)) + 1;
  return store.substr(start, close - start);
}

class PipelineTest : public ::testing::Test {
 protected:
  testing::SandboxFixture sandbox_;
};

TEST_F(PipelineTest, TwoCallsOnOneControlSignEncryptAndFileTheirResults) {
  testing::ControlFixture fixture;
  auto control = fixture.Make();
  control->SetDestLocation("srv1");

  const std::string first = Narrow(control->MakeEncProposal(kInput));
  ASSERT_FALSE(first.empty()) << "LastError " << control->LastError();
  EXPECT_EQ(control->LastError(), 0);
  EXPECT_EQ(LastEntry(fixture.Store()), first);
  EXPECT_FALSE(TheProgressWindow().IsVisible());

  // The messages of one call, discovery's three included.
  const std::vector<Text> expected = {"Parsing XML document...",
                                      "Analyzing Halvane confuguration file...",
                                      "Analyzing Windows Registry...",
                                      "Looking for the Halvane configuration file...",
                                      "Reading the Halvane configuration file...",
                                      "Processing pre-sign...",
                                      "Signing...",
                                      "Encoding...",
                                      "Making Encode Proposal completed."};
  const auto& messages = fixture.runtime.messages();
  ASSERT_GE(messages.size(), expected.size());
  EXPECT_EQ(std::vector<Text>(messages.end() - 9, messages.end()), expected);

  // The encrypted text is the proposal with both signatures before the closing root tag.
  Text signedText;
  ASSERT_TRUE(CryptoDecrypt(first, signedText, control->CryptoConfig()));
  const Text& proposal = control->WorkingOffer().ProposalXml;
  ASSERT_EQ(proposal.substr(proposal.size() - 21), "\t</DOC>\n</ZARN_ROOT>\n");
  const std::size_t cut = proposal.find("</ZARN_ROOT");
  EXPECT_EQ(signedText.substr(0, cut), proposal.substr(0, cut));
  const Text tail = signedText.substr(cut);
  ASSERT_EQ(tail.rfind("\t<SIGN_PRIVATE>", 0), 0u) << tail;
  const std::size_t sign = tail.find("</SIGN_PRIVATE>\n\t<SIGN>");
  ASSERT_NE(sign, Text::npos);
  EXPECT_EQ(tail.substr(tail.size() - 21), "</SIGN>\n</ZARN_ROOT>\n");
  EXPECT_EQ(tail.find_first_not_of(
                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=", 15),
            sign);

  // The second call adds its lines to those of the first.
  const std::string second = Narrow(control->MakeEncProposal(kInput));
  ASSERT_FALSE(second.empty());
  ASSERT_EQ(fixture.editor_->shown.size(), 2u);
  EXPECT_EQ(fixture.editor_->shown[0].GoodCount(), 2u);
  EXPECT_EQ(fixture.editor_->shown[1].GoodCount(), 4u);
  EXPECT_EQ(LastEntry(fixture.Store()), second);
  EXPECT_NE(first, second);
  const std::string store = fixture.Store();
  EXPECT_NE(store.find(W("<GOOD NM=\"Канцтовары\"")), std::string::npos);
  EXPECT_TRUE(fixture.boxes_->shown().empty());
}

TEST_F(PipelineTest, CancellingTheEditorGivesNullAndKeepsTheStore) {
  testing::ControlFixture fixture(/*confirm=*/false);
  auto control = fixture.Make();
  control->SetDestLocation("srv1");
  const std::string before = fixture.Store();
  EXPECT_EQ(control->MakeEncProposal(kInput), nullptr);
  EXPECT_EQ(control->LastError(), -10);
  EXPECT_EQ(fixture.Store(), before);
  EXPECT_EQ(control->WorkingOffer().ProposalXml, "");
  EXPECT_EQ(control->WorkingOffer().ID.value, "17");
}

TEST_F(PipelineTest, AMissingStoreStillReturnsTheResultAndTellsTheUser) {
  testing::ControlFixture fixture(true, /*withStore=*/false);
  auto control = fixture.Make();
  control->SetDestLocation("srv1");
  const std::string result = Narrow(control->MakeEncProposal(kInput));
  EXPECT_FALSE(result.empty());
  EXPECT_EQ(control->LastError(), -21);
  ASSERT_EQ(fixture.boxes_->shown().size(), 1u);
  EXPECT_EQ(fixture.boxes_->shown()[0].text, StoreFailedMessage());
  EXPECT_EQ(fixture.boxes_->shown()[0].caption, "Quillora");
  EXPECT_EQ(fixture.boxes_->shown()[0].style, 0x2010u);
  const platform::AutomationString next = control->MakeEncProposal(kInput);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(Narrow(next), "");
}

TEST_F(PipelineTest, CallsArrivingWhileTheEditorIsOpenAreTurnedAway) {
  testing::ControlFixture fixture;
  auto control = fixture.Make();
  control->SetDestLocation("srv1");
  bool manageResult = true;
  std::string nested = "unset";
  int16_t code = -99;
  Text sequence;
  fixture.editor_->during = [&] {
    nested = Narrow(control->MakeEncProposal(kInput));
    manageResult = control->Manage("");
    code = control->LastError();
    sequence = Narrow(control->MakePreSignSeq("<A>t</A>", "A"));
  };
  EXPECT_FALSE(Narrow(control->MakeEncProposal(kInput)).empty());
  EXPECT_EQ(nested, "");
  EXPECT_FALSE(manageResult);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(sequence, "1|t");
  EXPECT_EQ(control->LastError(), 0);
  EXPECT_EQ(fixture.editor_->shown.size(), 1u);
}

TEST_F(PipelineTest, ManageShowsTheManagerWithTheModuleDirectory) {
  testing::ControlFixture fixture;
  auto control = fixture.Make();
  control->SetDestLocation("srv1");
  EXPECT_TRUE(control->Manage(""));
  EXPECT_TRUE(control->Manage("17"));
  ASSERT_EQ(fixture.manager_->calls().size(), 2u);
  EXPECT_EQ(fixture.manager_->calls()[1].id, "17");
  EXPECT_EQ(fixture.manager_->calls()[1].moduleDir, control->CryptoConfig().ModuleDir);
  EXPECT_EQ(control->CryptoConfig().CryptoEngine, "cms");
}

}  // namespace
}  // namespace quillora
