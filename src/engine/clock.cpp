#include "engine/clock.h"

#include <cstdio>
#include <mutex>

namespace orv::clock {

namespace {
std::function<sys::LocalTime()> g_source;

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// A fixed start from ORVANTIS_CLOCK, advanced by real elapsed time.
bool fakeStart(int64_t& startNumber, int64_t& startMs) {
  static std::once_flag once;
  static bool active = false;
  static int64_t number = 0, ms = 0;
  std::call_once(once, [] {
    std::string start = sys::getEnv("ORVANTIS_CLOCK");
    sys::LocalTime t;
    if (std::sscanf(start.c_str(), "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second) == 6) {
      active = true;
      number = dateNumber(t);
      ms = sys::monotonicMs();
    }
  });
  startNumber = number;
  startMs = ms;
  return active;
}
}  // namespace

sys::LocalTime now() {
  if (g_source) return g_source();
  int64_t start, startMs;
  if (fakeStart(start, startMs)) return fromDateNumber(start + (sys::monotonicMs() - startMs) / 1000);
  return sys::localNow();
}

int64_t dateNumber(const sys::LocalTime& t) {
  return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

sys::LocalTime fromDateNumber(int64_t seconds) {
  // Floor division and its remainder, written so that no value of seconds overflows.
  int64_t rest = seconds % 86400;
  int64_t days = seconds / 86400 - (rest < 0 ? 1 : 0);
  if (rest < 0) rest += 86400;
  // Civil date from day count (inverse of daysFromCivil).
  int64_t z = days + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  int64_t y = yoe + era * 400 + (m <= 2);
  return {static_cast<int>(y),        m, d, static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60),
          static_cast<int>(rest % 60)};
}

bool dateNumberInRange(int64_t seconds) {
  static const int64_t first = dateNumber({1, 1, 1, 0, 0, 0});
  static const int64_t last = dateNumber({9999, 12, 31, 23, 59, 59});
  return seconds >= first && seconds <= last;
}

int64_t nowNumber() { return dateNumber(now()); }

void setForTesting(std::function<sys::LocalTime()> source) { g_source = std::move(source); }

}  // namespace orv::clock
