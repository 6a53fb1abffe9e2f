#include "crypto/crypto_config.h"

#include <limits>

#include "control/error_register.h"

namespace quillora {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

Text ReadConfigValue(const Text& text, const Text& key, std::size_t sectionStart,
                     std::size_t sectionEnd) {
  if (ErrorRecorded()) return Text();
  const std::size_t at = text.find(key, sectionStart);
  if (at == Text::npos || at > sectionEnd) return Text();
  const std::size_t afterKey = at + key.size();
  // A key that ends its line has no value. Skipping its line end as the separator would
  // make the next line the value.
  if (text.compare(afterKey, kLineEnd.size(), kLineEnd) == 0) return Text();
  const std::size_t valueStart = afterKey + 1;
  const std::size_t valueEnd = text.find(kLineEnd, valueStart);
  if (valueEnd == Text::npos) return Text();
  return text.substr(valueStart, valueEnd - valueStart);
}

int32_t ConfigNumber(const Text& value) {
  std::size_t i = 0;
  while (i < value.size() && IsCSpace(value[i])) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  // Accumulated as a negative number, which reaches the lowest limit too.
  constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
  int64_t number = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    number = number * 10 - (value[i] - '0');
    if (number < kLowest) number = kLowest;
  }
  if (!negative) number = -number;
  if (number > std::numeric_limits<int32_t>::max()) number = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(number);
}

}  // namespace quillora
