// A shared library loaded for as long as the object lives (dlopen/dlclose), with entry
// points bound by name.
#pragma once

#include <string>

namespace quillora::platform {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  // Loads by path, or by bare file name through the library search path.
  explicit DynamicLibrary(const std::string& fileName);
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  bool IsLoaded() const { return handle_ != nullptr; }
  // The loader's message for the last failure to load, for diagnostics.
  const std::string& LoadError() const { return loadError_; }
  // The address of an exported symbol, or null when it is missing.
  void* Symbol(const char* name) const;
  template <typename Function>
  Function Bind(const char* name) const {
    return reinterpret_cast<Function>(Symbol(name));
  }
  void Unload();
  // Lets go of the handle without unloading: the library stays for the process's life.
  void Abandon() { handle_ = nullptr; }

 private:
  void* handle_ = nullptr;
  std::string loadError_;
};

// The absolute path of the shared object (or program) that contains `address`; empty
// when it cannot be told.
std::string ModulePathOf(const void* address);
// Its directory, ending with "/".
std::string ModuleDirectoryOf(const void* address);

// Loads `fileName` from `directory` (which ends with "/") first, then by bare name
// through the library search path: the way the control finds its Base64 library.
DynamicLibrary LoadBesideOrOnSearchPath(const std::string& directory, const std::string& fileName);

}  // namespace quillora::platform
