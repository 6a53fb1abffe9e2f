#include "control/progress_window.h"

#include <thread>

namespace quillora {

PauseFunction DefaultPause() {
  return [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); };
}

HeadlessProgressWnd::HeadlessProgressWnd(PauseFunction pause) : pause_(std::move(pause)) {}

void HeadlessProgressWnd::Create() {
  // The window is created visible; its label receives the message kept so far.
  state_ = State::kVisible;
}

void HeadlessProgressWnd::ShowProgress() {
  if (Exists()) state_ = State::kVisible;
}

void HeadlessProgressWnd::HideProgress() {
  if (Exists()) state_ = State::kHidden;
}

void HeadlessProgressWnd::SetMessage(const Text& text) {
  message_ = text;
  if (pause_) pause_(kMessagePause);
}

void HeadlessProgressWnd::Destroy() {
  state_ = State::kNoWindow;
}

namespace {

std::unique_ptr<CProgressWnd>& Slot() {
  static std::unique_ptr<CProgressWnd> window = std::make_unique<HeadlessProgressWnd>();
  return window;
}

}  // namespace

CProgressWnd& TheProgressWindow() {
  return *Slot();
}

std::unique_ptr<CProgressWnd> InstallProgressWindow(std::unique_ptr<CProgressWnd> window) {
  if (!window) window = std::make_unique<HeadlessProgressWnd>();
  Slot().swap(window);
  return window;
}

}  // namespace quillora
