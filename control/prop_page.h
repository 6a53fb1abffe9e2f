// The control's property page. It has no properties to show: its page reads "There is no
// properties available." and exchanges nothing.
#pragma once

#include <atomic>

#include "platform/unknown.h"

namespace quillora {

inline constexpr char kPropPageText[] = "There is no properties available.";

class CQuilloraPropPage : public platform::IUnknown {
 public:
  CQuilloraPropPage();
  virtual ~CQuilloraPropPage();
  CQuilloraPropPage(const CQuilloraPropPage&) = delete;
  CQuilloraPropPage& operator=(const CQuilloraPropPage&) = delete;

  platform::HRESULT QueryInterface(const platform::GUID& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;

 private:
  std::atomic<uint32_t> references_{1};
};

}  // namespace quillora
