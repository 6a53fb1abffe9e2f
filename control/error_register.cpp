#include "control/error_register.h"

#include "control/progress_window.h"

namespace quillora {
namespace {

CErrorRegister*& Current() {
  static CErrorRegister moduleRegister;
  static CErrorRegister* current = &moduleRegister;
  return current;
}

}  // namespace

void CErrorRegister::SetError(int32_t code) {
  // A failure never leaves the status window up, even when the code is discarded.
  CProgressWnd& progress = TheProgressWindow();
  if (progress.Exists()) progress.HideProgress();
  if (suppressed_ != 0) return;
  if (code_ != 0) return;
  code_ = code;
}

CErrorRegister& TheErrorRegister() {
  return *Current();
}

ScopedErrorRegister::ScopedErrorRegister() : previous_(Current()) {
  Current() = &fresh_;
}

ScopedErrorRegister::~ScopedErrorRegister() {
  Current() = previous_;
}

}  // namespace quillora
