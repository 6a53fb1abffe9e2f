#include "offers/calendar_date.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace quillora {

Text FormatDate(const CalendarDate& date) {
  // Day and month in two places, the year in four, every blank then made a zero: the
  // way the stamp has always been written.
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%2.d/%2.d/%4.d", date.day, date.month, date.year);
  Text text = buffer;
  std::replace(text.begin(), text.end(), ' ', '0');
  return text;
}

bool ParseDate(std::string_view text, CalendarDate& date) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return false;
  auto digits = [&](std::size_t from, std::size_t count, int& value) {
    value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      value = value * 10 + (text[i] - '0');
    }
    return true;
  };
  CalendarDate parsed;
  if (!digits(0, 2, parsed.day) || !digits(3, 2, parsed.month) || !digits(6, 4, parsed.year)) {
    return false;
  }
  if (parsed.day < 1 || parsed.day > 31 || parsed.month < 1 || parsed.month > 12) return false;
  date = parsed;
  return true;
}

CalendarDate LocalClock::Today() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return CalendarDate{local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

}  // namespace quillora
