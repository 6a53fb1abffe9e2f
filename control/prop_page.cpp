#include "control/prop_page.h"

#include "control/module.h"

namespace quillora {

CQuilloraPropPage::CQuilloraPropPage() {
  module::ObjectCreated();
}

CQuilloraPropPage::~CQuilloraPropPage() {
  module::ObjectDestroyed();
}

platform::HRESULT CQuilloraPropPage::QueryInterface(const platform::GUID& iid, void** object) {
  if (object == nullptr) return platform::E_POINTER;
  if (iid == platform::IID_IUnknown) {
    *object = static_cast<platform::IUnknown*>(this);
    AddRef();
    return platform::S_OK;
  }
  *object = nullptr;
  return platform::E_NOINTERFACE;
}

uint32_t CQuilloraPropPage::AddRef() {
  return ++references_;
}

uint32_t CQuilloraPropPage::Release() {
  const uint32_t left = --references_;
  // Reference-counted objects end themselves when the last reference goes.
  if (left == 0) delete this;
  return left;
}

}  // namespace quillora
