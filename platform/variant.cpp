#include "platform/variant.h"

#include <utility>

namespace quillora::platform {

Variant Variant::Int16(int16_t value) {
  Variant v;
  v.type_ = VT_I2;
  v.integer_ = value;
  return v;
}

Variant Variant::Int32(int32_t value) {
  Variant v;
  v.type_ = VT_I4;
  v.integer_ = value;
  return v;
}

Variant Variant::Bool(bool value) {
  Variant v;
  v.type_ = VT_BOOL;
  v.boolean_ = value;
  return v;
}

Variant Variant::String(AutomationString value) {
  Variant v;
  v.type_ = VT_BSTR;
  v.string_ = value.release();
  return v;
}

Variant Variant::String(std::u16string_view value) {
  return String(MakeAutomationString(value));
}

Variant::Variant(const Variant& other)
    : type_(other.type_), integer_(other.integer_), boolean_(other.boolean_) {
  if (other.string_ != nullptr) string_ = AllocString(StringView(other.string_));
}

Variant::Variant(Variant&& other) noexcept {
  Swap(other);
}

Variant& Variant::operator=(Variant other) noexcept {
  Swap(other);
  return *this;
}

Variant::~Variant() {
  FreeString(string_);
}

void Variant::Swap(Variant& other) noexcept {
  std::swap(type_, other.type_);
  std::swap(integer_, other.integer_);
  std::swap(boolean_, other.boolean_);
  std::swap(string_, other.string_);
}

}  // namespace quillora::platform
