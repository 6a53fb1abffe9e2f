// Calendar dates as the system writes them, and the clock that gives today's date.
#pragma once

#include <memory>

#include "xml/text_conversion.h"

namespace quillora {

struct CalendarDate {
  int day = 1;    // 1..31
  int month = 1;  // 1..12
  int year = 1970;
};

// DD/MM/YYYY, zero-padded: the form of offer dates and of the proposal's stamp.
Text FormatDate(const CalendarDate& date);

// Reads DD/MM/YYYY (what FormatDate writes); false for anything else.
bool ParseDate(std::string_view text, CalendarDate& date);

// The source of today's date, injectable so tests and scripts can fix the day.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual CalendarDate Today() const = 0;
};

// The machine's local date.
class LocalClock : public Clock {
 public:
  CalendarDate Today() const override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(CalendarDate date) : date_(date) {}
  CalendarDate Today() const override { return date_; }

 private:
  CalendarDate date_;
};

}  // namespace quillora
