// Late-bound calls: members found by name and invoked by dispatch identifier.
#pragma once

#include <string>
#include <vector>

#include "platform/unknown.h"
#include "platform/variant.h"

namespace quillora::platform {

inline constexpr uint16_t DISPATCH_METHOD = 1;
inline constexpr uint16_t DISPATCH_PROPERTYGET = 2;
inline constexpr uint16_t DISPATCH_PROPERTYPUT = 4;

inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
inline constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009u);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);
// The control framework's error for writing a property that cannot be written.
inline constexpr HRESULT CTL_E_SETNOTSUPPORTED = static_cast<HRESULT>(0x800A017Bu);

// Arguments in the order the member declares them.
struct DispParams {
  std::vector<Variant> args;
};

// What a member reports when it raises an automation error.
struct ExcepInfo {
  HRESULT scode = 0;
  std::u16string description;
};

class IDispatch : public IUnknown {
 public:
  // Names compare without regard to case; an unknown name gives DISP_E_UNKNOWNNAME and -1.
  virtual HRESULT GetIDsOfNames(const OLECHAR* const* names, uint32_t count, int32_t* dispIds) = 0;
  // `result` may be null when the caller wants none; `exception` is filled when the
  // result is DISP_E_EXCEPTION.
  virtual HRESULT Invoke(int32_t dispId, uint16_t flags, const DispParams& params, Variant* result,
                         ExcepInfo* exception) = 0;

 protected:
  ~IDispatch() = default;
};

}  // namespace quillora::platform
