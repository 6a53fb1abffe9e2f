// The component model's base interfaces: reference-counted objects asked for their
// interfaces by identifier, and the factories that make them. Objects cross shared
// library boundaries only through these abstract classes.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/com_types.h"

namespace quillora::platform {

inline constexpr GUID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IUnknown {
 public:
  virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

class IClassFactory : public IUnknown {
 public:
  virtual HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** object) = 0;
  virtual HRESULT LockServer(bool lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// Holds one reference to an interface and releases it when it goes.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already owns.
  static ComPtr Attach(Interface* raw) {
    ComPtr p;
    p.raw_ = raw;
    return p;
  }
  ComPtr(const ComPtr& other) : raw_(other.raw_) {
    if (raw_ != nullptr) raw_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : raw_(std::exchange(other.raw_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(raw_, other.raw_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (raw_ != nullptr) std::exchange(raw_, nullptr)->Release();
  }
  Interface* get() const { return raw_; }
  Interface* operator->() const { return raw_; }
  explicit operator bool() const { return raw_ != nullptr; }
  // For out arguments: releases what is held and hands out the slot.
  void** PutVoid() {
    Reset();
    return reinterpret_cast<void**>(&raw_);
  }

 private:
  Interface* raw_ = nullptr;
};

}  // namespace quillora::platform
