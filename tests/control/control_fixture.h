// A control object made for a test: a fresh error register, a silent progress window,
// a fixed day, a module directory of its own holding an empty offer store, and dialogs
// that record what they were shown.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "control/quillora_ctrl.h"
#include "offers/store_names.h"
#include "tests/support/recording_pause.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "ui/headless_dialogs.h"

namespace quillora::testing {

// An editor that records the offers it was shown and then confirms or cancels.
class ObservingEditor : public OfferEditor {
 public:
  ObservingEditor(std::shared_ptr<const Clock> clock, bool confirm)
      : confirming_(std::move(clock)), confirm_(confirm) {}
  COffer Edit(const COffer& offer) override {
    shown.push_back(offer);
    if (during) during();
    return confirm_ ? confirming_.Edit(offer) : cancelling_.Edit(offer);
  }
  std::vector<COffer> shown;
  std::function<void()> during;  // run while the editor is open

 private:
  HeadlessOfferEditor confirming_;
  CancellingOfferEditor cancelling_;
  bool confirm_;
};

constexpr char kEmptyStore[] =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<ROOT Gen=\"Velt.Quillora\" "
    "Ver=\"1.0\"><GOODS_CLASSIFIER/><OFFERS/></ROOT>\n";

class ControlFixture {
 public:
  explicit ControlFixture(bool confirm = true, bool withStore = true)
      : clock_(std::make_shared<FixedClock>(CalendarDate{5, 3, 2002})),
        editor_(std::make_shared<ObservingEditor>(clock_, confirm)),
        manager_(std::make_shared<HeadlessManagerWindow>()),
        boxes_(std::make_shared<RecordingMessageBoxes>()) {
    if (withStore) moduleDir_.Write(store::kFileName, kEmptyStore);
    // The Base64 library is installed beside the control, where it is looked for first.
    std::filesystem::copy_file(BuiltProgram("libsorlit.so"), moduleDir_.File("libsorlit.so"));
  }

  ControlServices Services() const {
    return ControlServices{editor_, manager_, boxes_, clock_, moduleDir_.path().string() + "/"};
  }
  std::unique_ptr<CQuilloraCtrl, void (*)(CQuilloraCtrl*)> Make() const {
    return {new CQuilloraCtrl(Services()), [](CQuilloraCtrl* c) { c->Release(); }};
  }

  std::string StorePath() const { return moduleDir_.File(store::kFileName); }
  std::string Store() const { return TempDir::Read(StorePath()); }

  QuietRuntime runtime;
  std::shared_ptr<FixedClock> clock_;
  std::shared_ptr<ObservingEditor> editor_;
  std::shared_ptr<HeadlessManagerWindow> manager_;
  std::shared_ptr<RecordingMessageBoxes> boxes_;
  TempDir moduleDir_;
};

}  // namespace quillora::testing
