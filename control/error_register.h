// The one record of failure in the process: the first negative code recorded since the
// module was loaded, and a switch that suppresses recording. Nothing clears it; every
// operation that can fail asks it first and does nothing while a code is recorded.
#pragma once

#include <cstdint>

namespace quillora {

class CErrorRegister {
 public:
  // Hides a progress window that is up, then records the code unless recording is
  // suppressed or a code is already there (the first code stays).
  void SetError(int32_t code);
  int32_t GetError() const { return code_; }
  // Lock and Unlock do not count: one Unlock ends any number of Locks.
  void Lock() { suppressed_ = 1; }
  void Unlock() { suppressed_ = 0; }

 private:
  int32_t code_ = 0;
  int32_t suppressed_ = 0;
};

// The process-wide register.
CErrorRegister& TheErrorRegister();

// Shorthands used throughout: whether a code is recorded, and recording one.
inline bool ErrorRecorded() {
  return TheErrorRegister().GetError() != 0;
}
inline void RecordError(int32_t code) {
  TheErrorRegister().SetError(code);
}

// Puts a fresh register in place of the process-wide one for the lifetime of the object.
// A loaded module has one register for its whole life; tests that need a clear register
// for each case use this.
class ScopedErrorRegister {
 public:
  ScopedErrorRegister();
  ~ScopedErrorRegister();
  ScopedErrorRegister(const ScopedErrorRegister&) = delete;
  ScopedErrorRegister& operator=(const ScopedErrorRegister&) = delete;

 private:
  CErrorRegister fresh_;
  CErrorRegister* previous_;
};

}  // namespace quillora
