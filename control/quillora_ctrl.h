// The control object pages create and call: two properties and four methods through its
// dispatch interface. Each method is a thin entry that checks the error register and hands
// its arguments on; failures show only through LastError.
#pragma once

#include <atomic>
#include <memory>

#include "crypto/crypto_config.h"
#include "offers/calendar_date.h"
#include "offers/offer.h"
#include "platform/dispatch.h"
#include "ui/dialogs.h"

namespace quillora {

// What a control is given when it is made: the windows that need a person, the clock,
// and where its module lives.
struct ControlServices {
  std::shared_ptr<OfferEditor> editor;
  std::shared_ptr<ManagerWindow> manager;
  std::shared_ptr<MessageBoxes> messageBoxes;
  std::shared_ptr<const Clock> clock;
  // Empty: the directory of the library the control lives in.
  Text moduleDir;
};

// The services of a control made by the class factory: headless dialogs that answer
// without a person, the local clock, the library's own directory.
ControlServices DefaultControlServices();

class CQuilloraCtrl : public platform::IDispatch {
 public:
  explicit CQuilloraCtrl(ControlServices services = DefaultControlServices());
  virtual ~CQuilloraCtrl();
  CQuilloraCtrl(const CQuilloraCtrl&) = delete;
  CQuilloraCtrl& operator=(const CQuilloraCtrl&) = delete;

  // The members, as the dispatch interface calls them.
  const Text& GetDestLocation() const { return destLocation_; }
  void SetDestLocation(const Text& value);
  int32_t GetParseError() const { return parseError_; }
  platform::AutomationString MakeEncProposal(const Text& xml);
  int16_t LastError() const;
  platform::AutomationString MakePreSignSeq(const Text& xml, const Text& startName);
  bool Manage(const Text& id);

  // Observers for hosts and tests.
  bool IsModified() const { return modified_; }
  const COffer& WorkingOffer() const { return workingOffer_; }
  const CCryptoConfig& CryptoConfig() const { return config_; }

  // IUnknown
  platform::HRESULT QueryInterface(const platform::GUID& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  // IDispatch
  platform::HRESULT GetIDsOfNames(const platform::OLECHAR* const* names, uint32_t count,
                                  int32_t* dispIds) override;
  platform::HRESULT Invoke(int32_t dispId, uint16_t flags, const platform::DispParams& params,
                           platform::Variant* result, platform::ExcepInfo* exception) override;

 private:
  ControlServices services_;
  std::atomic<uint32_t> references_{1};

  // The fields, in the order the control has always had them (the manager window is
  // among the services).
  Text destLocation_;
  int32_t parseError_ = 0;
  CCryptoConfig config_;
  COffer workingOffer_;

  bool modified_ = false;
};

}  // namespace quillora
