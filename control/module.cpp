#include "control/module.h"

#include <atomic>

#include "platform/dynamic_library.h"

namespace quillora::module {
namespace {

std::atomic<int> objects{0};
std::atomic<int> locks{0};

// Any address inside this library tells where it was loaded from.
const int kAnchor = 0;

}  // namespace

void ObjectCreated() {
  ++objects;
}
void ObjectDestroyed() {
  --objects;
}
void Lock(bool lock) {
  lock ? ++locks : --locks;
}
bool CanUnload() {
  return objects.load() == 0 && locks.load() == 0;
}

std::string LibraryPath() {
  return platform::ModulePathOf(&kAnchor);
}

std::string LibraryDirectory() {
  return platform::ModuleDirectoryOf(&kAnchor);
}

}  // namespace quillora::module
