// Values passed to and returned from automation members: empty, strings (which may be
// absent), 16- and 32-bit integers and booleans.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/automation_string.h"

namespace quillora::platform {

enum VarType : uint16_t {
  VT_EMPTY = 0,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_BSTR = 8,
  VT_BOOL = 11,
};

class Variant {
 public:
  Variant() = default;
  static Variant Int16(int16_t value);
  static Variant Int32(int32_t value);
  static Variant Bool(bool value);
  // Takes over an automation string; null stays null.
  static Variant String(AutomationString value);
  static Variant String(std::u16string_view value);

  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;
  ~Variant();

  VarType type() const { return type_; }
  int32_t AsInt() const { return type_ == VT_BOOL ? (boolean_ ? -1 : 0) : integer_; }
  bool AsBool() const { return type_ == VT_BOOL ? boolean_ : integer_ != 0; }
  // The string held (null for a null string or another type).
  const OLECHAR* AsString() const { return type_ == VT_BSTR ? string_ : nullptr; }
  bool IsNullString() const { return type_ == VT_BSTR && string_ == nullptr; }

 private:
  void Swap(Variant& other) noexcept;

  VarType type_ = VT_EMPTY;
  int32_t integer_ = 0;
  bool boolean_ = false;
  BSTR string_ = nullptr;
};

}  // namespace quillora::platform
