// The control object's members and their guards, without the crypto path.
#include "control/quillora_ctrl.h"

#include <gtest/gtest.h>

#include "control/error_register.h"
#include "control/type_library.h"
#include "tests/control/control_fixture.h"

namespace quillora {
namespace {

using platform::Variant;

std::string Narrow(const platform::AutomationString& text) {
  return WideToAnsi(platform::StringView(text.get()));
}

class ControlTest : public ::testing::Test {
 protected:
  testing::ControlFixture fixture_;
};

TEST_F(ControlTest, ConstructionShowsItsMessagesAndEndsHidden) {
  auto control = fixture_.Make();
  EXPECT_EQ(fixture_.runtime.messages(),
            (std::vector<Text>{"Starting Velt.QuilloraCtrl...", "Initializing data...",
                               "Initializing COM library..."}));
  EXPECT_GE(fixture_.runtime.paused(), 3 * kMessagePause);
  EXPECT_TRUE(TheProgressWindow().Exists());
  EXPECT_FALSE(TheProgressWindow().IsVisible());
  EXPECT_EQ(control->LastError(), 0);
  EXPECT_EQ(control->GetParseError(), 0);
  EXPECT_EQ(control->GetDestLocation(), "");
  EXPECT_EQ(control->WorkingOffer().DT.value, "05/03/2002");
  EXPECT_EQ(control->WorkingOffer().ID.source, "oA");
  EXPECT_EQ(control->CryptoConfig().ModuleDir, fixture_.moduleDir_.path().string() + "/");

  control.reset();
  EXPECT_EQ(fixture_.runtime.messages().back(), "Velt.Quillora is now shutting down...");
  EXPECT_EQ(fixture_.runtime.messages()[3], "Cleanup, please wait...");
  EXPECT_FALSE(TheProgressWindow().Exists());
}

TEST_F(ControlTest, EmptyDestLocationRecordsMinus13AndEveryLaterCallRefuses) {
  auto control = fixture_.Make();
  platform::AutomationString result = control->MakeEncProposal("<R><DROW/></R>");
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(Narrow(result), "");
  EXPECT_EQ(control->LastError(), -13);
  EXPECT_TRUE(fixture_.editor_->shown.empty());

  control->SetDestLocation("srv1");
  EXPECT_EQ(control->GetDestLocation(), "srv1");
  EXPECT_FALSE(control->IsModified());  // an error is recorded
  EXPECT_EQ(Narrow(control->MakeEncProposal("<R><DROW/></R>")), "");
  EXPECT_EQ(control->LastError(), -13);

  // A control made later in the same module is refused as well.
  auto later = fixture_.Make();
  EXPECT_EQ(later->LastError(), -13);
  EXPECT_EQ(later->MakePreSignSeq("<A>t</A>", "A"), nullptr);
  EXPECT_FALSE(later->Manage(""));
  const platform::AutomationString refused = later->MakeEncProposal("<R/>");
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(platform::StringLength(refused.get()), 0u);
  EXPECT_FALSE(TheProgressWindow().IsVisible());
}

TEST_F(ControlTest, DestLocationMarksTheControlModifiedWhileNoErrorIsRecorded) {
  auto control = fixture_.Make();
  control->SetDestLocation("srv1");
  EXPECT_TRUE(control->IsModified());
}

TEST_F(ControlTest, TheFirstOfTwoFailuresIsReported) {
  auto control = fixture_.Make();
  EXPECT_EQ(Narrow(control->MakePreSignSeq("not xml", "")), "");  // -10
  EXPECT_EQ(control->MakePreSignSeq("<A/>", "A"), nullptr);
  EXPECT_EQ(control->LastError(), -10);
}

TEST_F(ControlTest, MakePreSignSeqAndLastErrorWorkWithoutAnyConfiguration) {
  auto control = fixture_.Make();
  EXPECT_EQ(Narrow(control->MakePreSignSeq("<R><P>ab</P></R>", "P")), "2|ab");
  EXPECT_EQ(control->LastError(), 0);
}

TEST_F(ControlTest, InputThatIsNotXmlFailsBeforeTheEditor) {
  auto control = fixture_.Make();
  control->SetDestLocation("srv1");
  EXPECT_EQ(Narrow(control->MakeEncProposal("not xml")), "");
  EXPECT_EQ(control->LastError(), -10);
  EXPECT_TRUE(fixture_.editor_->shown.empty());
  EXPECT_FALSE(TheProgressWindow().IsVisible());
}

TEST_F(ControlTest, InputWithoutDrowGivesEmptyWithoutCode) {
  auto control = fixture_.Make();
  control->SetDestLocation("srv1");
  const platform::AutomationString result = control->MakeEncProposal("<R><OFFG/></R>");
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(Narrow(result), "");
  EXPECT_EQ(control->LastError(), 0);
  EXPECT_FALSE(TheProgressWindow().IsVisible());
  EXPECT_EQ(control->WorkingOffer().GoodCount(), 0u);
}

TEST_F(ControlTest, ManageWithAnErrorRecordedShowsNothing) {
  auto control = fixture_.Make();
  RecordError(-21);
  EXPECT_FALSE(control->Manage("17"));
  EXPECT_TRUE(fixture_.manager_->calls().empty());
}

class DispatchTest : public ControlTest {
 protected:
  platform::HRESULT Call(int32_t id, uint16_t flags, std::vector<Variant> args,
                         Variant* result = nullptr, platform::ExcepInfo* exception = nullptr) {
    platform::DispParams params{std::move(args)};
    return control_->Invoke(id, flags, params, result, exception);
  }
  std::unique_ptr<CQuilloraCtrl, void (*)(CQuilloraCtrl*)> control_ = fixture_.Make();
};

TEST_F(DispatchTest, NamesAreFoundWithoutRegardToCase) {
  struct Case {
    const char16_t* name;
    int32_t id;
  } cases[] = {{u"DestLocation", 1},    {u"destlocation", 1}, {u"PARSEERROR", 2},
               {u"makeEncProposal", 3}, {u"LastError", 4},    {u"MakePreSignSeq", 5},
               {u"manage", 6},          {u"Nothing", -1},     {u"", -1}};
  for (const Case& c : cases) {
    const platform::OLECHAR* names[] = {c.name};
    int32_t id = 0;
    const platform::HRESULT status = control_->GetIDsOfNames(names, 1, &id);
    EXPECT_EQ(id, c.id);
    EXPECT_EQ(status, c.id < 0 ? platform::DISP_E_UNKNOWNNAME : platform::S_OK);
  }
}

TEST_F(DispatchTest, PropertiesAndMethodsThroughInvoke) {
  using namespace platform;
  ASSERT_EQ(Call(typelib::kDestLocation, DISPATCH_PROPERTYPUT, {Variant::String(u"srv1")}), S_OK);
  Variant value;
  ASSERT_EQ(Call(typelib::kDestLocation, DISPATCH_PROPERTYGET, {}, &value), S_OK);
  EXPECT_EQ(WideToAnsi(value.AsString()), "srv1");

  ASSERT_EQ(Call(typelib::kMakePreSignSeq, DISPATCH_METHOD,
                 {Variant::String(u"<A>t</A>"), Variant::String(u"")}, &value),
            S_OK);
  EXPECT_EQ(WideToAnsi(value.AsString()), "1|t");

  ASSERT_EQ(Call(typelib::kLastError, DISPATCH_METHOD, {}, &value), S_OK);
  EXPECT_EQ(value.type(), VT_I2);
  EXPECT_EQ(value.AsInt(), 0);

  // Writing parseError is refused with the set-not-supported error and changes nothing.
  ExcepInfo exception;
  EXPECT_EQ(
      Call(typelib::kParseError, DISPATCH_PROPERTYPUT, {Variant::Int32(5)}, nullptr, &exception),
      DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, CTL_E_SETNOTSUPPORTED);
  ASSERT_EQ(Call(typelib::kParseError, DISPATCH_PROPERTYGET, {}, &value), S_OK);
  EXPECT_EQ(value.AsInt(), 0);

  // A missing string result stays apart from an empty one.
  ASSERT_EQ(Call(typelib::kMakePreSignSeq, DISPATCH_METHOD,
                 {Variant::String(u"<A/>"), Variant::String(u"B")}, &value),
            S_OK);
  EXPECT_TRUE(value.IsNullString());

  EXPECT_EQ(Call(typelib::kManage, DISPATCH_METHOD, {}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(typelib::kManage, DISPATCH_METHOD, {Variant::Int32(1)}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(42, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, QueryInterfaceKnowsDispatchAndUnknownOnly) {
  void* object = nullptr;
  EXPECT_EQ(control_->QueryInterface(platform::IID_IDispatch, &object), platform::S_OK);
  EXPECT_EQ(object, static_cast<platform::IDispatch*>(control_.get()));
  control_->Release();
  EXPECT_EQ(control_->QueryInterface(typelib::DIID_DQuillora, &object), platform::S_OK);
  control_->Release();
  EXPECT_EQ(control_->QueryInterface(platform::IID_IClassFactory, &object),
            platform::E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
}  // namespace quillora
