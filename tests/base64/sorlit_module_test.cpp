#include <gtest/gtest.h>

#include "platform/com_types.h"
#include "tests/base64/sorlit_library.h"

namespace quillora::base64::testing {
namespace {

using SorlitModuleTest = SorlitLibraryTest;

TEST_F(SorlitModuleTest, LastErrorStaysZero) {
  const auto lastError = library_.Bind<LastErrorFn>(kLastErrorExport);
  ASSERT_NE(lastError, nullptr);
  EXPECT_EQ(lastError(), 0);
  Encode("ABC");
  Encode("");
  Decode(u"QUJD");
  Decode(u"QU!D");
  Decode(u"QUI");
  EXPECT_EQ(lastError(), 0);
}

TEST_F(SorlitModuleTest, ServesNoComponentClasses) {
  const auto getClassObject = library_.Bind<DllGetClassObjectFn>(kGetClassObjectExport);
  const auto canUnloadNow = library_.Bind<DllCanUnloadNowFn>(kCanUnloadNowExport);
  const auto registerServer = library_.Bind<DllRegisterServerFn>(kRegisterServerExport);
  ASSERT_NE(getClassObject, nullptr);
  ASSERT_NE(canUnloadNow, nullptr);
  ASSERT_NE(registerServer, nullptr);

  const platform::GUID someClass{0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
  const platform::GUID someInterface{1, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  int object = 0;
  void* out = &object;
  EXPECT_EQ(getClassObject(&someClass, &someInterface, &out), platform::CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(getClassObject(&someClass, &someInterface, nullptr),
            platform::CLASS_E_CLASSNOTAVAILABLE);

  EXPECT_EQ(canUnloadNow(), platform::S_OK);
  EXPECT_EQ(registerServer(), platform::S_OK);
}

// The library carries its own copy of the automation strings and the codec; none of it
// may be visible to the program that loads it.
TEST_F(SorlitModuleTest, ExportsOnlyItsEntryPoints) {
  for (const char* name : {kEncodeExport, kDecodeExport, kLastErrorExport, kGetClassObjectExport,
                           kCanUnloadNowExport, kRegisterServerExport}) {
    EXPECT_NE(library_.Symbol(name), nullptr) << name;
  }
  EXPECT_EQ(library_.Symbol("_ZN8quillora8platform11AllocStringEPKDsj"), nullptr);
  EXPECT_EQ(library_.Symbol("_ZN8quillora8platform10FreeStringEPDs"), nullptr);
}

}  // namespace
}  // namespace quillora::base64::testing
