// The windows that need a person, as the control sees them. The control is given one of
// each when it is made; the headless ones below answer without a person, the Qt ones
// show real windows.
#pragma once

#include <cstdint>

#include "crypto/crypto_config.h"
#include "offers/offer.h"

namespace quillora {

// The offer editor run modally by the pipeline: shown on `offer`, it returns its own
// offer, with ProposalXml composed when the user confirmed and empty otherwise.
class OfferEditor {
 public:
  virtual ~OfferEditor() = default;
  virtual COffer Edit(const COffer& offer) = 0;
};

// The manager window, run modally by Manage; returns when the user has closed it.
class ManagerWindow {
 public:
  virtual ~ManagerWindow() = default;
  virtual void Show(const Text& moduleDir, const Text& id, CCryptoConfig& config) = 0;
};

// Message box styles and answers the system uses.
inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbYesNo = 0x4;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbTaskModal = 0x2000;
inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows text with caption and style, returns the button pressed.
  virtual int Show(const Text& text, const Text& caption, uint32_t style) = 0;
};

// How many modal windows of the system are open in the process; whoever runs one counts
// it with a Scope. A call that would open another window while one is up (it arrives
// through the same thread's message loop) is refused by the control.
class ModalWindows {
 public:
  static bool AnyOpen() { return count_ > 0; }

  // Counts one open modal window for its lifetime.
  class Scope {
   public:
    Scope() { ++count_; }
    ~Scope() { --count_; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
  };

 private:
  static inline int count_ = 0;
};

}  // namespace quillora
