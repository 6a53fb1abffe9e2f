// The one-line status window of the control. One object exists per loaded module; the
// window itself exists only between Create and Destroy. Every message holds the calling
// thread for a fixed pause so that it stays readable however fast the work goes.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "xml/text_conversion.h"

namespace quillora {

class CProgressWnd {
 public:
  virtual ~CProgressWnd() = default;

  virtual void Create() = 0;
  virtual void ShowProgress() = 0;
  virtual void HideProgress() = 0;
  // Stores the text, puts it into the label and pauses the thread.
  virtual void SetMessage(const Text& text) = 0;
  virtual void Destroy() = 0;
  virtual bool Exists() const = 0;

  // Observers for hosts and tests.
  virtual bool IsVisible() const = 0;
  virtual const Text& Message() const = 0;
};

// How long each message holds the thread.
inline constexpr std::chrono::milliseconds kMessagePause{180};

// The pause of SetMessage, injectable so tests do not sleep.
using PauseFunction = std::function<void(std::chrono::milliseconds)>;
PauseFunction DefaultPause();

// A window without a surface: keeps the message and the window state, and pauses as the
// real window does. The Qt window draws on top of the same state.
class HeadlessProgressWnd : public CProgressWnd {
 public:
  explicit HeadlessProgressWnd(PauseFunction pause = DefaultPause());

  void Create() override;
  void ShowProgress() override;
  void HideProgress() override;
  void SetMessage(const Text& text) override;
  void Destroy() override;
  bool Exists() const override { return state_ != State::kNoWindow; }
  bool IsVisible() const override { return state_ == State::kVisible; }
  const Text& Message() const override { return message_; }

  void SetPause(PauseFunction pause) { pause_ = std::move(pause); }

 private:
  enum class State { kNoWindow, kVisible, kHidden };
  State state_ = State::kNoWindow;
  Text message_;
  PauseFunction pause_;
};

// The process-wide progress window. Hosts with a window system install their own; the
// headless one is there from the start.
CProgressWnd& TheProgressWindow();
// Installs a window for the process (or the headless default again with null) and
// returns the one it replaces.
std::unique_ptr<CProgressWnd> InstallProgressWindow(std::unique_ptr<CProgressWnd> window);

}  // namespace quillora
