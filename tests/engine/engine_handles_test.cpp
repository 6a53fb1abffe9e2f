// Opening, configuring and closing engine handles.
#include "tests/engine/engine_fixture.h"

namespace quillora::testing {
namespace {

class EngineHandleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(engine_.Complete()) << engine_.library.LoadError(); }
  EngineLibrary engine_;
};

TEST_F(EngineHandleTest, OnlyTheExactEngineNameOpensAHandle) {
  for (const char* name :
       {static_cast<const char*>(nullptr), "", "CMS", "cms ", " cms", "cm", "cmsx", "gost"}) {
    EXPECT_EQ(engine_.init(name), 0u) << (name ? name : "(null)");
  }
  const EngineHandle first = engine_.init("cms");
  const EngineHandle second = engine_.init("cms");
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(engine_.done(first), 0);
  EXPECT_EQ(engine_.done(second), 0);
}

TEST_F(EngineHandleTest, UnknownAndClosedHandlesFailEveryCall) {
  const EngineHandle closed = engine_.init("cms");
  ASSERT_EQ(engine_.done(closed), 0);
  for (EngineHandle handle : {EngineHandle{0}, closed, EngineHandle{0xFFFFFFF0u}}) {
    unsigned char buffer[256] = {1, 2, 3};
    const unsigned char* data = buffer;
    int32_t length = 3;
    int32_t room = sizeof buffer;
    char uid[65] = {};
    EXPECT_NE(engine_.set(handle, engine_params::kUserName, "ivanov"), 0);
    EXPECT_EQ(engine_.maxSignature(handle), 0);
    EXPECT_EQ(engine_.maxAddition(handle), 0);
    EXPECT_EQ(engine_.maxUid(handle), 0);
    EXPECT_NE(engine_.sign(handle, &data, 3, buffer, &room, 0), 0);
    EXPECT_NE(engine_.encode(handle, buffer, &length, 0), 0);
    EXPECT_NE(engine_.decode(handle, buffer, &length, uid), 0);
    EXPECT_NE(engine_.done(handle), 0);
    EXPECT_EQ(room, static_cast<int32_t>(sizeof buffer));
    EXPECT_EQ(length, 3);
  }
}

TEST_F(EngineHandleTest, ReservedParameterIsAcceptedAndUnknownNumbersAreNot) {
  const EngineHandle handle = engine_.init("cms");
  EXPECT_EQ(engine_.set(handle, engine_params::kReserved, ""), 0);
  EXPECT_EQ(engine_.set(handle, engine_params::kLanguage, "RUS"), 0);
  EXPECT_NE(engine_.set(handle, 4, "x"), 0);
  EXPECT_NE(engine_.set(handle, engine_params::kUserName, nullptr), 0);
  engine_.done(handle);
}

// Each handle keeps its own settings: a second user's handle signs with that user's key.
TEST_F(EngineHandleTest, HandlesKeepTheirOwnSettings) {
  const TestKeys& ec = SharedKeys(site::KeyKind::kEc);
  UserHandle configured(engine_, ec);
  UserHandle unconfigured(engine_, "", "", "");
  EXPECT_GT(engine_.maxSignature(configured.handle()), 0);
  EXPECT_EQ(engine_.maxSignature(unconfigured.handle()), 0);
  EXPECT_EQ(unconfigured.Sign("x").status, -1);
  EXPECT_EQ(configured.Sign("x").status, 0);
}

}  // namespace
}  // namespace quillora::testing
