#include "tests/support/recording_pause.h"

namespace quillora::testing {

QuietRuntime::QuietRuntime()
    : messages_(std::make_shared<std::vector<Text>>()),
      paused_(std::make_shared<std::chrono::milliseconds>(0)) {
  auto window = std::make_unique<HeadlessProgressWnd>();
  progress_ = window.get();
  auto paused = paused_;
  auto messages = messages_;
  HeadlessProgressWnd* self = progress_;
  window->SetPause([paused, messages, self](std::chrono::milliseconds pause) {
    *paused += pause;
    messages->push_back(self->Message());
  });
  previous_ = InstallProgressWindow(std::move(window));
}

QuietRuntime::~QuietRuntime() {
  InstallProgressWindow(std::move(previous_));
}

}  // namespace quillora::testing
