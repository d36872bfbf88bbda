#include "engine/log_writer.h"

#include <algorithm>
#include <iterator>

#include "engine/clock.h"
#include "engine/text_util.h"
#include "platform/file_ops.h"
#include "platform/files.h"

namespace orv {

static constexpr size_t kMaxLineBytes = 2048;
static constexpr size_t kMaxIndentChars = 10;

LevelStyle levelStyle(std::string_view token, int8_t nestingLevel) {
  LevelStyle style;
  std::string head = toUpper(token.substr(0, 3));
  if (head == "LVL")
    style.prefix = "--> ";
  else if (head == "WRN")
    style.prefix = "!-> ";
  else if (head == "ERR")
    style.prefix = "X-> ";
  if (token.size() > 3) style.indent = numberValue(token.substr(3));
  size_t minus = token.find('-');
  size_t plus = token.find('+');
  if (minus != std::string_view::npos && minus + 1 < token.size()) {
    std::string_view rest = token.substr(minus + 1);
    style.indent =
        saturatingAdd(nestingLevel, saturatingMul(numberValue(rest.substr(0, rest.find('-'))), -1));
  } else if (plus != std::string_view::npos && plus + 1 < token.size()) {
    std::string_view rest = token.substr(plus + 1);
    style.indent = saturatingAdd(nestingLevel, numberValue(rest.substr(0, rest.find('+'))));
  }
  return style;
}

// v in decimal, zero-padded to at least width digits.
static void appendPadded(std::string& out, int v, size_t width) {
  std::string s = std::to_string(v);
  if (s.size() < width) out.append(width - s.size(), '0');
  out += s;
}

std::string formatDate(std::string_view mask, const sys::LocalTime& d) {
  static const std::string_view kTokens[] = {"yyyy", "yy", "mm", "dd", "hh", "ii", "ss"};
  std::string out;
  out.reserve(mask.size() + 8);
  for (size_t i = 0; i < mask.size(); ++i) {
    size_t which = std::size(kTokens);
    if (mask[i] == '%')
      for (which = 0; which < std::size(kTokens); ++which)
        if (equalsNoCase(mask.substr(i + 1, kTokens[which].size()), kTokens[which])) break;
    if (which == std::size(kTokens)) {
      out += mask[i];
      continue;
    }
    i += kTokens[which].size();
    if (which == 1) {
      std::string year;
      appendPadded(year, d.year, 4);
      out += year.substr(year.size() - 2);
      continue;
    }
    const int values[] = {d.year, 0, d.month, d.day, d.hour, d.minute, d.second};
    appendPadded(out, values[which], which == 0 ? 4 : 2);
  }
  return out;
}

// The date text of a line, formatted again only when the second or the mask changed.
static const std::string& dateText(LogFileConfig& config, const sys::LocalTime& d) {
  const sys::LocalTime& c = config.cachedMoment;
  bool same = c.second == d.second && c.minute == d.minute && c.hour == d.hour && c.day == d.day &&
              c.month == d.month && c.year == d.year && config.cachedMask == config.dateMask;
  if (!same || !config.cachedValid) {
    config.cachedDate = firstChars(formatDate(config.dateMask, d), 30);
    config.cachedMoment = d;
    config.cachedMask = config.dateMask;
    config.cachedValid = true;
  }
  return config.cachedDate;
}

static void applyDefaults(LogFileConfig& config) {
  if (config.initialised) return;
  if (config.dateMask.empty()) config.dateMask = "%dd/%mm/%yyyy %hh:%ii:%ss";
  if (config.indentUnit.empty()) config.indentUnit = "\t";
  if (config.archiveSeparator.empty()) config.archiveSeparator = ".";
  config.initialised = true;
}

static std::string indentation(const std::string& unit, int64_t count) {
  if (unit.empty()) return " ";
  std::string out;
  for (int64_t i = 0; i < count && out.size() < kMaxIndentChars; ++i) out += unit;
  return firstChars(out, kMaxIndentChars);
}

std::string composeLogLine(LogFileConfig& config, std::string_view message, std::string_view level,
                           const sys::LocalTime& date) {
  applyDefaults(config);
  LevelStyle style = levelStyle(level, config.nestingLevel);
  std::string line;
  line.reserve(48 + message.size());
  if (config.dateMask != "0") line = dateText(config, date);
  line += " : ";
  line += indentation(config.indentUnit, style.indent);
  line += style.prefix;
  line += message;
  if (line.size() > kMaxLineBytes) line = firstBytes(line, kMaxLineBytes);
  return line;
}

int writeLogLine(LogFileConfig& config, std::string_view message, std::string_view level) {
  sys::LocalTime date = clock::now();
  applyDefaults(config);
  if (config.path.empty()) return 0;
  if (config.maxSize > 0) {  // 0 or less: no limit
    int64_t threshold = saturatingMul(config.maxSize, 1024) - 1000;
    if (fs::fileSize(config.path) >= threshold) rotateLog(config);
  }
  std::string line = composeLogLine(config, message, level, date);
  line += "\r\n";
  return fs::fileOps().appendToFile(config.path, line) ? 1 : 0;
}

// Archive name i of a log: name.ext becomes name<sep>i.ext. A name without an
// extension gets <sep>i appended, so an archive never collides with the log.
static std::string archiveName(const std::string& name, const std::string& ext, const std::string& sep,
                               int64_t i) {
  if (ext == ".") return name + sep + decimal(i);
  return replaceAll(name, ext, sep + decimal(i) + ext);
}

void rotateLog(LogFileConfig& config) {
  if (!fs::fileExists(config.path)) return;  // nothing to rotate
  std::string name = fs::filePart(config.path);
  if (config.maxArchives == 0) {
    fs::fileOps().removeFile(config.path);
    return;
  }
  size_t dot = name.rfind('.');
  std::string ext = "." + (dot == std::string::npos ? std::string() : name.substr(dot + 1));
  // Archives stay beside the log, also for a path without folder.
  std::string folder = fs::folderPart(config.path);
  int64_t count = std::min(config.maxArchives, kMaxLogArchives);
  for (int64_t i = 1; i <= count; ++i) {
    std::string archive = folder + archiveName(name, ext, config.archiveSeparator, i);
    if (!fs::pathExists(archive)) {
      if (fs::fileOps().renamePath(config.path, archive)) return;
      continue;
    }
    if (i != count) continue;
    // Every archive name is taken: remove the log and its numbered archives.
    bool failed = fs::fileExists(config.path) && !fs::fileOps().removeFile(config.path);
    for (int64_t k = 1; k <= count; ++k) {
      std::string old = folder + archiveName(name, ext, config.archiveSeparator, k);
      if (fs::fileExists(old) && !fs::fileOps().removeFile(old)) failed = true;
    }
    if (failed) config.maxSize = saturatingAdd(config.maxSize, 1);
  }
}

}  // namespace orv
