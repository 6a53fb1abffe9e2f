// The control library as the component runtime sees it: its four exports, its two
// factories and its answer to whether it can be unloaded.
#include <gtest/gtest.h>

#include <cstdlib>

#include "control/type_library.h"
#include "platform/component_host.h"
#include "platform/dispatch.h"
#include "platform/dynamic_library.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

namespace quillora {
namespace {

using platform::GUID;
using platform::HRESULT;
using GetClassObjectFn = HRESULT (*)(const GUID*, const GUID*, void**);
using ServerFn = HRESULT (*)();

class LibraryTest : public ::testing::Test {
 protected:
  platform::DynamicLibrary library_{testing::BuiltProgram("libquillora.so")};
};

TEST_F(LibraryTest, FactoriesMakeObjectsAndTheLibraryCountsThem) {
  ASSERT_TRUE(library_.IsLoaded()) << library_.LoadError();
  const auto getClassObject = library_.Bind<GetClassObjectFn>("DllGetClassObject");
  const auto canUnload = library_.Bind<ServerFn>("DllCanUnloadNow");
  ASSERT_NE(getClassObject, nullptr);
  ASSERT_NE(canUnload, nullptr);
  EXPECT_NE(library_.Symbol("DllRegisterServer"), nullptr);
  EXPECT_NE(library_.Symbol("DllUnregisterServer"), nullptr);
  EXPECT_EQ(library_.Symbol("BuildPreSignSequence"), nullptr);  // nothing else is exported

  void* unknown = nullptr;
  const GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  EXPECT_EQ(getClassObject(&other, &platform::IID_IClassFactory, &unknown),
            platform::CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(unknown, nullptr);

  platform::ComPtr<platform::IClassFactory> pages;
  ASSERT_EQ(getClassObject(&typelib::CLSID_QuilloraPropPage, &platform::IID_IClassFactory,
                           pages.PutVoid()),
            platform::S_OK);
  platform::ComPtr<platform::IUnknown> page;
  ASSERT_EQ(pages->CreateInstance(nullptr, platform::IID_IUnknown, page.PutVoid()), platform::S_OK);
  EXPECT_EQ(canUnload(), platform::S_FALSE);
  page.Reset();
  EXPECT_EQ(canUnload(), platform::S_OK);

  ASSERT_EQ(pages->LockServer(true), platform::S_OK);
  EXPECT_EQ(canUnload(), platform::S_FALSE);
  pages->LockServer(false);
  EXPECT_EQ(canUnload(), platform::S_OK);
}

TEST(RegistrationTest, ARegistryThatCannotBeWrittenGivesTheTypeLibraryCode) {
  testing::TempDir dir;
  // A registry file that does not parse is never written over.
  const std::string registry = dir.Write("registry.reg", "not a registry export\n");
  const testing::CommandResult result = testing::RunCommand(
      testing::BuiltProgram("quillora"), {"register", testing::BuiltProgram("libquillora.so")}, "",
      {"QUILLORA_REGISTRY=" + registry});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "DllRegisterServer 0x80040200\n");
  EXPECT_EQ(testing::TempDir::Read(registry), "not a registry export\n");
}

}  // namespace
}  // namespace quillora
