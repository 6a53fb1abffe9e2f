#include "control/quillora_ctrl.h"

#include "control/error_register.h"
#include "control/module.h"
#include "control/progress_window.h"
#include "control/type_library.h"
#include "crypto/discover_crypto_config.h"
#include "offers/working_offer.h"
#include "proposal/encrypted_proposal.h"
#include "ui/headless_dialogs.h"

namespace quillora {

using platform::DispParams;
using platform::ExcepInfo;
using platform::HRESULT;
using platform::Variant;

ControlServices DefaultControlServices() {
  ControlServices services;
  services.clock = std::make_shared<LocalClock>();
  services.editor = std::make_shared<HeadlessOfferEditor>(services.clock);
  services.manager = std::make_shared<HeadlessManagerWindow>();
  services.messageBoxes = std::make_shared<RecordingMessageBoxes>();
  return services;
}

CQuilloraCtrl::CQuilloraCtrl(ControlServices services) : services_(std::move(services)) {
  module::ObjectCreated();
  CProgressWnd& progress = TheProgressWindow();
  progress.Create();
  progress.ShowProgress();
  progress.SetMessage("Starting Velt.QuilloraCtrl...");
  progress.SetMessage("Initializing data...");
  config_.ModuleDir =
      services_.moduleDir.empty() ? module::LibraryDirectory() : services_.moduleDir;
  if (!config_.ModuleDir.empty() && config_.ModuleDir.back() != '/') config_.ModuleDir += '/';
  ResetWorkingOffer(workingOffer_, services_.clock->Today());
  destLocation_.clear();
  parseError_ = 0;
  // The component runtime needs no per-thread start on this platform.
  progress.SetMessage("Initializing COM library...");
  progress.HideProgress();
}

CQuilloraCtrl::~CQuilloraCtrl() {
  CProgressWnd& progress = TheProgressWindow();
  progress.ShowProgress();
  progress.SetMessage("Cleanup, please wait...");
  workingOffer_.RemoveAllGoods();
  progress.SetMessage("Velt.Quillora is now shutting down...");
  progress.Destroy();
  module::ObjectDestroyed();
}

void CQuilloraCtrl::SetDestLocation(const Text& value) {
  destLocation_ = value;
  if (!ErrorRecorded()) modified_ = true;
}

platform::AutomationString CQuilloraCtrl::MakeEncProposal(const Text& xml) {
  // A call that arrives while a window of a running call is open is turned away like a
  // call after a failure, without recording anything.
  if (ErrorRecorded() || ModalWindows::AnyOpen()) return platform::MakeAutomationString(u"");
  ProposalPipeline pipeline{destLocation_, config_, workingOffer_, *services_.editor,
                            *services_.messageBoxes};
  return quillora::MakeEncProposal(xml, pipeline);
}

int16_t CQuilloraCtrl::LastError() const {
  return static_cast<int16_t>(TheErrorRegister().GetError());
}

platform::AutomationString CQuilloraCtrl::MakePreSignSeq(const Text& xml, const Text& startName) {
  return quillora::MakePreSignSeq(xml, startName);
}

bool CQuilloraCtrl::Manage(const Text& id) {
  if (ErrorRecorded() || ModalWindows::AnyOpen()) return false;
  if (!DiscoverCryptoConfig(destLocation_, config_)) return false;
  ModalWindows::Scope modal;
  services_.manager->Show(config_.ModuleDir, id, config_);
  return true;
}

HRESULT CQuilloraCtrl::QueryInterface(const platform::GUID& iid, void** object) {
  if (object == nullptr) return platform::E_POINTER;
  if (iid == platform::IID_IUnknown || iid == platform::IID_IDispatch ||
      iid == typelib::DIID_DQuillora) {
    *object = static_cast<platform::IDispatch*>(this);
    AddRef();
    return platform::S_OK;
  }
  *object = nullptr;
  return platform::E_NOINTERFACE;
}

uint32_t CQuilloraCtrl::AddRef() {
  return ++references_;
}

uint32_t CQuilloraCtrl::Release() {
  const uint32_t left = --references_;
  // Reference-counted objects end themselves when the last reference goes.
  if (left == 0) delete this;
  return left;
}

HRESULT CQuilloraCtrl::GetIDsOfNames(const platform::OLECHAR* const* names, uint32_t count,
                                     int32_t* dispIds) {
  if (names == nullptr || dispIds == nullptr) return platform::E_POINTER;
  HRESULT result = platform::S_OK;
  for (uint32_t i = 0; i < count; ++i) {
    dispIds[i] = -1;
    // Only the member name itself is looked up; argument names are not known.
    if (i > 0) {
      result = platform::DISP_E_UNKNOWNNAME;
      continue;
    }
    const std::u16string_view name = names[i] != nullptr ? names[i] : u"";
    for (const typelib::Member& member : typelib::kMembers) {
      const std::u16string_view candidate = member.name;
      if (candidate.size() != name.size()) continue;
      bool same = true;
      for (std::size_t k = 0; k < name.size() && same; ++k) {
        auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; };
        same = fold(candidate[k]) == fold(name[k]);
      }
      if (same) dispIds[i] = member.dispId;
    }
    if (dispIds[i] == -1) result = platform::DISP_E_UNKNOWNNAME;
  }
  return result;
}

namespace {

// A string argument as text; anything else is a type mismatch.
bool StringArgument(const DispParams& params, std::size_t index, Text& text) {
  if (index >= params.args.size()) return false;
  const Variant& arg = params.args[index];
  if (arg.type() != platform::VT_BSTR) return false;
  text = WideToAnsi(arg.AsString());
  return true;
}

bool CountIs(const DispParams& params, std::size_t count) {
  return params.args.size() == count;
}

void SetResult(Variant* result, Variant value) {
  if (result != nullptr) *result = std::move(value);
}

}  // namespace

HRESULT CQuilloraCtrl::Invoke(int32_t dispId, uint16_t flags, const DispParams& params,
                              Variant* result, ExcepInfo* exception) {
  using platform::DISPATCH_METHOD;
  using platform::DISPATCH_PROPERTYGET;
  using platform::DISPATCH_PROPERTYPUT;
  const bool get = (flags & DISPATCH_PROPERTYGET) != 0;
  const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
  const bool call = (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0;

  switch (dispId) {
    case typelib::kDestLocation:
    case typelib::kParseError: {
      if (put) {
        if (!CountIs(params, 1)) return platform::DISP_E_BADPARAMCOUNT;
        if (dispId == typelib::kParseError) {
          if (exception != nullptr) {
            exception->scode = platform::CTL_E_SETNOTSUPPORTED;
            exception->description = u"Set not supported.";
          }
          return platform::DISP_E_EXCEPTION;
        }
        Text value;
        if (!StringArgument(params, 0, value)) return platform::DISP_E_TYPEMISMATCH;
        SetDestLocation(value);
        return platform::S_OK;
      }
      if (!get && !(flags & DISPATCH_METHOD)) return platform::DISP_E_MEMBERNOTFOUND;
      if (!CountIs(params, 0)) return platform::DISP_E_BADPARAMCOUNT;
      SetResult(result, dispId == typelib::kDestLocation
                            ? Variant::String(AnsiToWide(destLocation_))
                            : Variant::Int32(parseError_));
      return platform::S_OK;
    }
    case typelib::kMakeEncProposal:
    case typelib::kLastError:
    case typelib::kMakePreSignSeq:
    case typelib::kManage:
      break;
    default:
      return platform::DISP_E_MEMBERNOTFOUND;
  }

  if (!call) return platform::DISP_E_MEMBERNOTFOUND;
  Text first, second;
  switch (dispId) {
    case typelib::kMakeEncProposal:
      if (!CountIs(params, 1)) return platform::DISP_E_BADPARAMCOUNT;
      if (!StringArgument(params, 0, first)) return platform::DISP_E_TYPEMISMATCH;
      SetResult(result, Variant::String(MakeEncProposal(first)));
      return platform::S_OK;
    case typelib::kLastError:
      if (!CountIs(params, 0)) return platform::DISP_E_BADPARAMCOUNT;
      SetResult(result, Variant::Int16(LastError()));
      return platform::S_OK;
    case typelib::kMakePreSignSeq:
      if (!CountIs(params, 2)) return platform::DISP_E_BADPARAMCOUNT;
      if (!StringArgument(params, 0, first) || !StringArgument(params, 1, second)) {
        return platform::DISP_E_TYPEMISMATCH;
      }
      SetResult(result, Variant::String(MakePreSignSeq(first, second)));
      return platform::S_OK;
    default:  // Manage
      if (!CountIs(params, 1)) return platform::DISP_E_BADPARAMCOUNT;
      if (!StringArgument(params, 0, first)) return platform::DISP_E_TYPEMISMATCH;
      SetResult(result, Variant::Bool(Manage(first)));
      return platform::S_OK;
  }
}

}  // namespace quillora
