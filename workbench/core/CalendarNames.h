#pragma once

#include <string>

// English names, independent of the locale: days 1 (Sunday) to 7, months 1 (January) to 12.
std::string DayName(int day);
std::string MonthName(int month);

// A moment in days since 1899-12-30; the fraction is the time of day.
using TDateTimeValue = double;

// The time of day of a moment as "hh:mm:ss".
std::string TimeToHMS(TDateTimeValue time);
