// A progress pause that records instead of sleeping, and a fixture part that installs a
// fresh error register and a headless progress window with that pause for each test.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "control/error_register.h"
#include "control/progress_window.h"

namespace quillora::testing {

class QuietRuntime {
 public:
  QuietRuntime();
  ~QuietRuntime();
  QuietRuntime(const QuietRuntime&) = delete;
  QuietRuntime& operator=(const QuietRuntime&) = delete;

  HeadlessProgressWnd& progress() { return *progress_; }
  // Every message shown since the runtime was installed, in order.
  const std::vector<Text>& messages() const { return *messages_; }
  std::chrono::milliseconds paused() const { return *paused_; }

 private:
  ScopedErrorRegister register_;
  std::shared_ptr<std::vector<Text>> messages_;
  std::shared_ptr<std::chrono::milliseconds> paused_;
  HeadlessProgressWnd* progress_;
  std::unique_ptr<CProgressWnd> previous_;
};

}  // namespace quillora::testing
