// The four entry points of the control library.
#include "control/class_factory.h"
#include "control/module.h"
#include "control/registration.h"

using quillora::platform::GUID;
using quillora::platform::HRESULT;

#define QUILLORA_EXPORT extern "C" __attribute__((visibility("default")))

QUILLORA_EXPORT HRESULT DllRegisterServer() {
  return quillora::RegisterServer(quillora::module::LibraryPath());
}

QUILLORA_EXPORT HRESULT DllUnregisterServer() {
  return quillora::UnregisterServer();
}

QUILLORA_EXPORT HRESULT DllGetClassObject(const GUID* clsid, const GUID* iid, void** object) {
  if (object == nullptr) return quillora::platform::E_POINTER;
  *object = nullptr;
  if (clsid == nullptr || iid == nullptr) return quillora::platform::E_INVALIDARG;
  quillora::platform::IClassFactory* factory = quillora::FactoryFor(*clsid);
  if (factory == nullptr) return quillora::platform::CLASS_E_CLASSNOTAVAILABLE;
  return factory->QueryInterface(*iid, object);
}

QUILLORA_EXPORT HRESULT DllCanUnloadNow() {
  return quillora::module::CanUnload() ? quillora::platform::S_OK : quillora::platform::S_FALSE;
}
