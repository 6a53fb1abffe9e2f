// Creation of registered components for hosts: the class is looked up in the registry by
// ProgID or class identifier, its library loaded, its factory asked for an object. The
// library is unloaded again, when it agrees, once the object is released.
#pragma once

#include <string>

#include "platform/dispatch.h"
#include "platform/dynamic_library.h"

namespace quillora::platform {

// One created object with the library it came from.
class ComponentObject {
 public:
  ComponentObject() = default;
  ComponentObject(ComponentObject&&) noexcept = default;
  ComponentObject& operator=(ComponentObject&& other) noexcept;
  ~ComponentObject();

  IDispatch* dispatch() const { return dispatch_.get(); }
  explicit operator bool() const { return static_cast<bool>(dispatch_); }
  // Releases the object, then unloads the library when it says it can be unloaded.
  void Release();

 private:
  friend struct ComponentCreator;
  DynamicLibrary library_;
  ComPtr<IDispatch> dispatch_;
};

struct CreationResult {
  HRESULT status = E_FAIL;
  std::string error;  // what went wrong, for people
  ComponentObject object;
};

// `name` is a ProgID ("Velt.Quillora.1") or a braced class identifier.
CreationResult CreateComponent(const std::string& name);

// Creates an object of `clsid` from the library file at `path`, bypassing the registry.
CreationResult CreateComponentFromLibrary(const std::string& path, const GUID& clsid);

}  // namespace quillora::platform
