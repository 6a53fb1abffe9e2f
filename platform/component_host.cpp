#include "platform/component_host.h"

#include <vector>

#include "platform/guid.h"
#include "platform/registry.h"

namespace quillora::platform {

using DllGetClassObjectFn = HRESULT (*)(const GUID*, const GUID*, void**);
using DllCanUnloadNowFn = HRESULT (*)();

inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
inline constexpr HRESULT CO_E_DLLNOTFOUND = static_cast<HRESULT>(0x8004018Bu);
inline constexpr HRESULT CO_E_ERRORINDLL = static_cast<HRESULT>(0x800401F9u);

ComponentObject& ComponentObject::operator=(ComponentObject&& other) noexcept {
  if (this != &other) {
    Release();
    library_ = std::move(other.library_);
    dispatch_ = std::move(other.dispatch_);
  }
  return *this;
}

ComponentObject::~ComponentObject() {
  Release();
}

void ComponentObject::Release() {
  dispatch_.Reset();
  if (!library_.IsLoaded()) return;
  const auto canUnload = library_.Bind<DllCanUnloadNowFn>("DllCanUnloadNow");
  if (canUnload == nullptr || canUnload() == S_OK) {
    library_.Unload();
  } else {
    // Objects of the library are still alive somewhere: it must stay loaded.
    library_.Abandon();
  }
}

struct ComponentCreator {
  static CreationResult FromLibrary(const std::string& path, const GUID& clsid) {
    CreationResult result;
    DynamicLibrary library(path);
    if (!library.IsLoaded()) {
      result.status = CO_E_DLLNOTFOUND;
      result.error = "cannot load " + path + ": " + library.LoadError();
      return result;
    }
    const auto getClassObject = library.Bind<DllGetClassObjectFn>("DllGetClassObject");
    if (getClassObject == nullptr) {
      result.status = CO_E_ERRORINDLL;
      result.error = path + " has no DllGetClassObject";
      return result;
    }
    ComPtr<IClassFactory> factory;
    result.status = getClassObject(&clsid, &IID_IClassFactory, factory.PutVoid());
    if (Failed(result.status) || !factory) {
      result.error = "the library has no factory for " + GuidToString(clsid);
      return result;
    }
    ComPtr<IDispatch> dispatch;
    result.status = factory->CreateInstance(nullptr, IID_IDispatch, dispatch.PutVoid());
    factory.Reset();
    if (Failed(result.status) || !dispatch) {
      result.error = "the factory could not create the object";
      return result;
    }
    result.object.library_ = std::move(library);
    result.object.dispatch_ = std::move(dispatch);
    result.status = S_OK;
    return result;
  }
};

namespace {

// The default value of a key under the classes root, or false.
bool ReadDefault(const std::string& path, std::string& value) {
  RegistryKey key;
  if (OpenRegistryKey(RegHive::kClassesRoot, path, kKeyRead, key) != kRegSuccess) return false;
  uint32_t size = 0;
  if (QueryRegistryValue(key, "", nullptr, nullptr, &size) != kRegSuccess || size == 0) {
    return false;
  }
  std::vector<unsigned char> data(size);
  if (QueryRegistryValue(key, "", nullptr, data.data(), &size) != kRegSuccess) return false;
  value.assign(reinterpret_cast<const char*>(data.data()), size > 0 ? size - 1 : 0);
  return true;
}

}  // namespace

CreationResult CreateComponentFromLibrary(const std::string& path, const GUID& clsid) {
  return ComponentCreator::FromLibrary(path, clsid);
}

CreationResult CreateComponent(const std::string& name) {
  CreationResult result;
  std::string clsidText = name;
  if (name.empty() || name.front() != '{') {
    if (!ReadDefault(name + "\\CLSID", clsidText)) {
      result.status = CO_E_CLASSSTRING;
      result.error = "no class is registered under the ProgID " + name;
      return result;
    }
  }
  const auto clsid = GuidFromString(clsidText);
  if (!clsid) {
    result.status = CO_E_CLASSSTRING;
    result.error = "not a class identifier: " + clsidText;
    return result;
  }
  std::string path;
  if (!ReadDefault("CLSID\\" + GuidToString(*clsid) + "\\InprocServer32", path)) {
    result.status = REGDB_E_CLASSNOTREG;
    result.error = "the class " + GuidToString(*clsid) + " is not registered";
    return result;
  }
  return CreateComponentFromLibrary(path, *clsid);
}

}  // namespace quillora::platform
