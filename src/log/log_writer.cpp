#include "log/log_writer.h"

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
  if (head == "LVL") style.prefix = "--> ";
  else if (head == "WRN") style.prefix = "!-> ";
  else if (head == "ERR") style.prefix = "X-> ";
  if (token.size() > 3) style.indent = numberValue(token.substr(3));
  size_t minus = token.find('-');
  size_t plus = token.find('+');
  if (minus != std::string_view::npos && minus + 1 < token.size()) {
    std::string_view rest = token.substr(minus + 1);
    style.indent = nestingLevel - numberValue(rest.substr(0, rest.find('-')));
  } else if (plus != std::string_view::npos && plus + 1 < token.size()) {
    std::string_view rest = token.substr(plus + 1);
    style.indent = nestingLevel + numberValue(rest.substr(0, rest.find('+')));
  }
  return style;
}

static std::string twoDigits(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

std::string formatDate(std::string_view mask, const sys::LocalTime& d) {
  static const struct { const char* token; int which; } kTokens[] = {
      {"yyyy", 0}, {"yy", 1}, {"mm", 2}, {"dd", 3}, {"hh", 4}, {"ii", 5}, {"ss", 6}};
  std::string out;
  for (size_t i = 0; i < mask.size(); ++i) {
    bool replaced = false;
    if (mask[i] == '%') {
      for (const auto& t : kTokens) {
        std::string_view tok = t.token;
        if (!equalsNoCase(mask.substr(i + 1, tok.size()), tok)) continue;
        std::string year = std::to_string(d.year);
        while (year.size() < 4) year = "0" + year;
        const std::string values[] = {year, year.substr(year.size() - 2), twoDigits(d.month),
                                      twoDigits(d.day), twoDigits(d.hour), twoDigits(d.minute),
                                      twoDigits(d.second)};
        out += values[t.which];
        i += tok.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += mask[i];
  }
  return out;
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

std::string composeLogLine(LogFileConfig& config, std::string_view message,
                           std::string_view level, const sys::LocalTime& date) {
  applyDefaults(config);
  LevelStyle style = levelStyle(level, config.nestingLevel);
  std::string line = config.dateMask == "0" ? "" : firstChars(formatDate(config.dateMask, date), 30);
  line += " : ";
  line += indentation(config.indentUnit, style.indent);
  line += style.prefix;
  line += message;
  return firstBytes(line, kMaxLineBytes);
}

int writeLogLine(LogFileConfig& config, std::string_view message, std::string_view level) {
  sys::LocalTime date = clock::now();
  applyDefaults(config);
  if (config.path.empty()) return 0;
  if (config.maxSize != 0) {
    int64_t threshold = config.maxSize * 1024 - 1000;
    if (fs::fileSize(config.path) >= threshold) rotateLog(config);
  }
  std::string line = composeLogLine(config, message, level, date);
  line += "\r\n";
  return fs::fileOps().appendToFile(config.path, line) ? 1 : 0;
}

// Archive name i of a log: name.ext becomes name<sep>i.ext. A name without an
// extension gets <sep>i appended, so an archive never collides with the log.
static std::string archiveName(const std::string& name, const std::string& ext,
                               const std::string& sep, int64_t i) {
  if (ext == ".") return name + sep + decimal(i);
  return replaceAll(name, ext, sep + decimal(i) + ext);
}

void rotateLog(LogFileConfig& config) {
  std::string name = fs::filePart(config.path);
  if (config.maxArchives == 0) {
    fs::fileOps().removeFile(config.path);
    return;
  }
  size_t dot = name.rfind('.');
  std::string ext = "." + (dot == std::string::npos ? std::string() : name.substr(dot + 1));
  // Archives stay beside the log, also for a path without folder.
  std::string folder = fs::folderPart(config.path);
  for (int64_t i = 1; i <= config.maxArchives; ++i) {
    std::string archive = folder + archiveName(name, ext, config.archiveSeparator, i);
    if (!fs::pathExists(archive)) {
      if (fs::fileOps().renamePath(config.path, archive)) return;
      continue;
    }
    if (i != config.maxArchives) continue;
    // Every archive name is taken: remove the log and its numbered archives.
    bool failed = fs::fileExists(config.path) && !fs::fileOps().removeFile(config.path);
    for (int64_t k = 1; k <= config.maxArchives; ++k) {
      std::string old = folder + archiveName(name, ext, config.archiveSeparator, k);
      if (fs::fileExists(old) && !fs::fileOps().removeFile(old)) failed = true;
    }
    if (failed) config.maxSize += 1;
  }
}

}  // namespace orv
