// The program's clock. Dates, periods and log lines read the local time here,
// so tests can fix it. ORVANTIS_CLOCK="YYYY-MM-DD HH:MM:SS" starts the clock at
// that local time (it then advances with real time); used by scenario tests.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/system.h"

namespace orv::clock {

// The local date and time now.
sys::LocalTime now();
// Date number: seconds since 1970-01-01 00:00:00, the local time read as UTC.
int64_t dateNumber(const sys::LocalTime& t);
// The local time that a date number stands for.
sys::LocalTime fromDateNumber(int64_t seconds);
// True for the date numbers of years 1 to 9999, the dates the program writes
// and prints; a stored date outside them is damaged.
bool dateNumberInRange(int64_t seconds);
// The current date number.
int64_t nowNumber();
// Replaces the clock (tests); an empty function restores the real one.
void setForTesting(std::function<sys::LocalTime()> source);

}  // namespace orv::clock
