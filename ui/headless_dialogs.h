// Dialogs that answer without a person: the offer editor confirms the offer as it was
// given, the manager window closes at once, and message boxes are recorded and answered
// with a fixed button.
#pragma once

#include <memory>
#include <vector>

#include "offers/calendar_date.h"
#include "ui/dialogs.h"

namespace quillora {

class HeadlessOfferEditor : public OfferEditor {
 public:
  explicit HeadlessOfferEditor(std::shared_ptr<const Clock> clock = std::make_shared<LocalClock>());
  // As OK would: the editor's copy of the offer, composed with its goods lines as list rows
  // and today's date.
  COffer Edit(const COffer& offer) override;

 private:
  std::shared_ptr<const Clock> clock_;
};

// An editor that is closed without confirming: the offer comes back with no proposal.
class CancellingOfferEditor : public OfferEditor {
 public:
  COffer Edit(const COffer& offer) override;
};

struct ManagerCall {
  Text moduleDir;
  Text id;
};

class HeadlessManagerWindow : public ManagerWindow {
 public:
  void Show(const Text& moduleDir, const Text& id, CCryptoConfig& config) override;
  const std::vector<ManagerCall>& calls() const { return calls_; }

 private:
  std::vector<ManagerCall> calls_;
};

struct ShownMessage {
  Text text;
  Text caption;
  uint32_t style;
};

class RecordingMessageBoxes : public MessageBoxes {
 public:
  explicit RecordingMessageBoxes(int answer = kIdOk) : answer_(answer) {}
  int Show(const Text& text, const Text& caption, uint32_t style) override;
  const std::vector<ShownMessage>& shown() const { return shown_; }

 private:
  int answer_;
  std::vector<ShownMessage> shown_;
};

}  // namespace quillora
