#include "platform/guid.h"

#include <sys/random.h>

#include <cstdio>
#include <cstring>
#include <random>

namespace quillora::platform {

GUID NewGuid() {
  unsigned char bytes[16];
  std::size_t filled = 0;
  while (filled < sizeof bytes) {
    const ssize_t got = getrandom(bytes + filled, sizeof bytes - filled, 0);
    if (got <= 0) break;
    filled += static_cast<std::size_t>(got);
  }
  if (filled < sizeof bytes) {
    // The kernel source is always there on supported systems; keep going regardless.
    std::random_device device;
    for (auto& b : bytes) b = static_cast<unsigned char>(device());
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // variant 1
  GUID guid{};
  std::memcpy(&guid.Data1, bytes, 4);
  std::memcpy(&guid.Data2, bytes + 4, 2);
  guid.Data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
  std::memcpy(guid.Data4, bytes + 8, 8);
  return guid;
}

std::string GuidToString(const GUID& guid) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return buffer;
}

std::optional<GUID> GuidFromString(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  const std::string_view body = text.substr(1, 36);
  unsigned long long value = 0;
  int digits = 0;
  unsigned char raw[16];
  int byteIndex = 0;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (c != '-') return std::nullopt;
      continue;
    }
    int nibble;
    if (c >= '0' && c <= '9')
      nibble = c - '0';
    else if (c >= 'a' && c <= 'f')
      nibble = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      nibble = c - 'A' + 10;
    else
      return std::nullopt;
    value = (value << 4) | static_cast<unsigned>(nibble);
    if (++digits == 2) {
      raw[byteIndex++] = static_cast<unsigned char>(value);
      value = 0;
      digits = 0;
    }
  }
  GUID guid{};
  guid.Data1 =
      (uint32_t{raw[0]} << 24) | (uint32_t{raw[1]} << 16) | (uint32_t{raw[2]} << 8) | raw[3];
  guid.Data2 = static_cast<uint16_t>((raw[4] << 8) | raw[5]);
  guid.Data3 = static_cast<uint16_t>((raw[6] << 8) | raw[7]);
  std::memcpy(guid.Data4, raw + 8, 8);
  return guid;
}

}  // namespace quillora::platform
