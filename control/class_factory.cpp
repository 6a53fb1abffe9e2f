#include "control/class_factory.h"

#include <memory>

#include "control/module.h"
#include "control/prop_page.h"
#include "control/quillora_ctrl.h"
#include "control/type_library.h"

namespace quillora {
namespace {

using platform::HRESULT;

// The factories live as long as the library; their reference counts only count.
template <typename Object>
class StaticFactory final : public platform::IClassFactory {
 public:
  HRESULT QueryInterface(const platform::GUID& iid, void** object) override {
    if (object == nullptr) return platform::E_POINTER;
    if (iid == platform::IID_IUnknown || iid == platform::IID_IClassFactory) {
      *object = static_cast<platform::IClassFactory*>(this);
      return platform::S_OK;
    }
    *object = nullptr;
    return platform::E_NOINTERFACE;
  }
  uint32_t AddRef() override { return 2; }
  uint32_t Release() override { return 1; }

  HRESULT CreateInstance(platform::IUnknown* outer, const platform::GUID& iid,
                         void** object) override {
    if (object == nullptr) return platform::E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return static_cast<HRESULT>(0x80040110u);  // no aggregation
    std::unique_ptr<Object> created(new (std::nothrow) Object());
    if (!created) return platform::E_OUTOFMEMORY;
    // The new object holds one reference; QueryInterface adds the caller's, and letting go
    // of ours leaves exactly that one (or ends the object when the interface is unknown).
    Object* raw = created.release();
    const HRESULT result = raw->QueryInterface(iid, object);
    raw->Release();
    return result;
  }
  HRESULT LockServer(bool lock) override {
    module::Lock(lock);
    return platform::S_OK;
  }
};

}  // namespace

platform::IClassFactory* FactoryFor(const platform::GUID& clsid) {
  static StaticFactory<CQuilloraCtrl> control;
  static StaticFactory<CQuilloraPropPage> propPage;
  if (clsid == typelib::CLSID_Quillora) return &control;
  if (clsid == typelib::CLSID_QuilloraPropPage) return &propPage;
  return nullptr;
}

}  // namespace quillora
