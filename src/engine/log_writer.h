// The log file writer: line format, level tokens, date masks and rotation.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace orv {

// The most numbered archives a log keeps, whatever maxArchives asks.
inline constexpr int64_t kMaxLogArchives = 1000;

// Settings of one log file. Empty members get their defaults at the first write.
struct LogFileConfig {
  bool initialised = false;
  std::string dateMask;          // "%dd/%mm/%yyyy %hh:%ii:%ss" by default; "0" = no date
  std::string indentUnit;        // a tab by default
  std::string path;              // empty: nothing is written
  int64_t maxSize = 0;           // kilobytes; 0 or less = no limit
  int8_t nestingLevel = 0;       // base of relative level tokens
  int64_t maxArchives = 0;       // 0 = the full log is deleted; at most kMaxLogArchives are used
  std::string archiveSeparator;  // "." by default
  // The last date text written, reused while the second and the mask stay the same.
  bool cachedValid = false;
  sys::LocalTime cachedMoment;
  std::string cachedMask, cachedDate;
};

// What a level token gives: the prefix and the indentation count.
struct LevelStyle {
  std::string prefix;
  int64_t indent = 0;
};

// Prefix and indentation of a level token at the given nesting level.
LevelStyle levelStyle(std::string_view token, int8_t nestingLevel);
// Formats a date with the mask tokens %yyyy %yy %mm %dd %hh %ii %ss (any case).
std::string formatDate(std::string_view mask, const sys::LocalTime& date);
// The full line (without CR LF) that writeLogLine would write.
std::string composeLogLine(LogFileConfig& config, std::string_view message, std::string_view level,
                           const sys::LocalTime& date);
// Writes one line (rotating first when needed); 1 when written, 0 otherwise.
int writeLogLine(LogFileConfig& config, std::string_view message, std::string_view level);
// Rotates the file of config into its numbered archives (or deletes it);
// nothing when the file does not exist.
void rotateLog(LogFileConfig& config);

}  // namespace orv
