#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <utility>

namespace quillora::platform {

DynamicLibrary::DynamicLibrary(const std::string& fileName) {
  handle_ = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* message = dlerror();
    loadError_ = message != nullptr ? message : "cannot load " + fileName;
  }
}

DynamicLibrary::~DynamicLibrary() {
  Unload();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), loadError_(std::move(other.loadError_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Unload();
    handle_ = std::exchange(other.handle_, nullptr);
    loadError_ = std::move(other.loadError_);
  }
  return *this;
}

void* DynamicLibrary::Symbol(const char* name) const {
  return handle_ == nullptr ? nullptr : dlsym(handle_, name);
}

void DynamicLibrary::Unload() {
  if (handle_ != nullptr) dlclose(std::exchange(handle_, nullptr));
}

std::string ModulePathOf(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return std::string();
  // The main program's entry carries the name it was started by; the kernel knows its
  // file.
  const char* name = info.dli_fname;
  char resolved[PATH_MAX];
  if (realpath(name, resolved) != nullptr) return resolved;
  if (realpath("/proc/self/exe", resolved) != nullptr) return resolved;
  return name;
}

std::string ModuleDirectoryOf(const void* address) {
  const std::string path = ModulePathOf(address);
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash + 1);
}

DynamicLibrary LoadBesideOrOnSearchPath(const std::string& directory, const std::string& fileName) {
  if (!directory.empty()) {
    DynamicLibrary beside(directory + fileName);
    if (beside.IsLoaded()) return beside;
  }
  return DynamicLibrary(fileName);
}

}  // namespace quillora::platform
