#include "control/error_register.h"

#include <gtest/gtest.h>

#include "tests/support/recording_pause.h"

namespace quillora {
namespace {

class ErrorRegisterTest : public ::testing::Test {
 protected:
  testing::QuietRuntime runtime_;
};

TEST_F(ErrorRegisterTest, TheFirstCodeStays) {
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
  RecordError(-10);
  RecordError(-21);
  EXPECT_EQ(TheErrorRegister().GetError(), -10);
}

TEST_F(ErrorRegisterTest, LockAndUnlockDoNotCount) {
  CErrorRegister& errors = TheErrorRegister();
  errors.Lock();
  errors.Lock();
  errors.SetError(-18);
  EXPECT_EQ(errors.GetError(), 0);
  errors.Unlock();
  errors.SetError(-18);
  EXPECT_EQ(errors.GetError(), -18);
}

TEST_F(ErrorRegisterTest, RecordingHidesAVisibleWindowEvenWhenTheCodeIsDiscarded) {
  CProgressWnd& progress = TheProgressWindow();
  progress.Create();
  ASSERT_TRUE(progress.IsVisible());
  TheErrorRegister().Lock();
  RecordError(-1);
  EXPECT_FALSE(progress.IsVisible());
  EXPECT_TRUE(progress.Exists());
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
}

TEST_F(ErrorRegisterTest, RecordingWithoutAWindowCreatesNone) {
  RecordError(-7);
  EXPECT_FALSE(TheProgressWindow().Exists());
  EXPECT_FALSE(TheProgressWindow().IsVisible());
}

TEST(ProgressWindowTest, FollowsItsStatesAndPausesForEveryMessage) {
  testing::QuietRuntime runtime;
  CProgressWnd& progress = TheProgressWindow();
  progress.SetMessage("before");  // the field outlives the window
  progress.Create();
  EXPECT_TRUE(progress.IsVisible());
  EXPECT_EQ(progress.Message(), "before");
  progress.HideProgress();
  progress.SetMessage("hidden");  // does not show the window
  EXPECT_FALSE(progress.IsVisible());
  progress.ShowProgress();
  EXPECT_TRUE(progress.IsVisible());
  progress.Destroy();
  EXPECT_FALSE(progress.Exists());
  progress.ShowProgress();  // no window: nothing to show
  EXPECT_FALSE(progress.IsVisible());
  EXPECT_EQ(progress.Message(), "hidden");
  EXPECT_EQ(runtime.messages(), (std::vector<Text>{"before", "hidden"}));
  EXPECT_EQ(runtime.paused(), 2 * kMessagePause);
}

TEST(ProgressWindowTest, DefaultPauseIsReal) {
  HeadlessProgressWnd window;  // the default pause sleeps
  const auto start = std::chrono::steady_clock::now();
  window.SetMessage("x");
  EXPECT_GE(std::chrono::steady_clock::now() - start, kMessagePause);
}

}  // namespace
}  // namespace quillora
