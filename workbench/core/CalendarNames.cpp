#include "workbench/core/CalendarNames.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "framework/base/Exception.h"

namespace {

constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};

}  // namespace

std::string DayName(int day) {
  if (day < 1 || day > 7) throw Exception("Day of week out of range (" + std::to_string(day) + ")");
  return kDayNames[day - 1];
}

std::string MonthName(int month) {
  if (month < 1 || month > 12) throw Exception("Month out of range (" + std::to_string(month) + ")");
  return kMonthNames[month - 1];
}

std::string TimeToHMS(TDateTimeValue time) {
  constexpr int64_t kMsPerDay = 86400000;
  double whole = 0;
  const double fraction = std::fabs(std::modf(time, &whole));
  const int64_t ms = static_cast<int64_t>(std::nearbyint(fraction * kMsPerDay)) % kMsPerDay;
  const int64_t seconds = ms / 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}
