#include "platform/automation_string.h"

#include <cstdlib>
#include <cstring>

namespace quillora::platform {
namespace {

constexpr std::size_t kPrefix = sizeof(uint32_t);

uint32_t* PrefixOf(const OLECHAR* text) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(const_cast<OLECHAR*>(text)) - kPrefix);
}

}  // namespace

BSTR AllocStringForWriting(uint32_t length) {
  const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
  if (bytes > UINT32_MAX - kPrefix - sizeof(OLECHAR)) return nullptr;
  auto* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  const uint32_t byteLength = static_cast<uint32_t>(bytes);
  std::memcpy(block, &byteLength, kPrefix);
  auto* text = reinterpret_cast<OLECHAR*>(block + kPrefix);
  text[length] = 0;
  return text;
}

BSTR AllocString(const OLECHAR* units, uint32_t length) {
  BSTR text = AllocStringForWriting(length);
  if (text == nullptr) return nullptr;
  const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
  if (units != nullptr) {
    std::memcpy(text, units, bytes);
  } else {
    std::memset(text, 0, bytes);
  }
  return text;
}

BSTR AllocString(std::u16string_view units) {
  if (units.size() > UINT32_MAX / sizeof(OLECHAR)) return nullptr;
  return AllocString(units.data(), static_cast<uint32_t>(units.size()));
}

void FreeString(BSTR text) {
  if (text != nullptr) std::free(PrefixOf(text));
}

uint32_t StringLength(const OLECHAR* text) {
  if (text == nullptr) return 0;
  uint32_t bytes;
  std::memcpy(&bytes, PrefixOf(text), kPrefix);
  return bytes / sizeof(OLECHAR);
}

std::u16string_view StringView(const OLECHAR* text) {
  return text == nullptr ? std::u16string_view() : std::u16string_view(text, StringLength(text));
}

}  // namespace quillora::platform
