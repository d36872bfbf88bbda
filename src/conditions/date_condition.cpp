// The date condition of CHECK: periods written dd/mm/yyyy|dd/mm/yyyy, a start
// or stop date built from date fields, or a day built from each item.
#include <cctype>

#include "conditions/check.h"
#include "conditions/machine_conditions.h"
#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/text_util.h"

namespace orv {

namespace {

constexpr int64_t kDay = 86400;

// A date plus one day; the "no date" -1 stays -1.
int64_t plusOneDay(int64_t date) { return date == -1 ? -1 : date + kDay; }

// Reads 1 to maxDigits digits at pos; -1 when there is none.
int readDigits(const std::string& text, size_t& pos, size_t minDigits, size_t maxDigits) {
  size_t start = pos;
  int value = 0;
  while (pos < text.size() && pos - start < maxDigits && std::isdigit(static_cast<unsigned char>(text[pos])))
    value = value * 10 + (text[pos++] - '0');
  return pos - start < minDigits ? -1 : value;
}

bool periodHolds(Engine& engine, const std::string& item, int64_t now) {
  size_t bar = item.find('|');
  std::string startText = item.substr(0, bar);
  size_t second = item.find('|', bar + 1);
  std::string stopText =
      item.substr(bar + 1, second == std::string::npos ? std::string::npos : second - bar - 1);
  int64_t start = parseDayDate(startText), stop = parseDayDate(stopText);
  if (start <= now && now <= plusOneDay(stop)) {
    engine.log("La date se trouve dans la période " + startText + " à " + stopText + ".", "+3");
    return true;
  }
  return false;
}

bool checkPeriods(Engine& engine, const std::string& value, int64_t now) {
  engine.log("Vérification sur une période de temp.", "+2");
  bool holds = false;
  for (const std::string& whole : commaItems(value)) {
    std::string item = firstChars(whole, 30);
    if (item.find('|') == std::string::npos)
      engine.log("Erreur de formatage de la période indiquée. Merci de vérifier le renseignement des champs.",
                 "ERR+3");
    else if (periodHolds(engine, item, now))
      holds = true;
  }
  return holds;
}

bool someDayHolds(const std::string& value, int64_t now) {
  for (const std::string& item : commaItems(value)) {
    int64_t day = dateFromFields(item, now);
    if (day <= now && now <= plusOneDay(day)) return true;
  }
  return false;
}

}  // namespace

int64_t parseDayDate(const std::string& text) {
  size_t pos = 0;
  int day = readDigits(text, pos, 1, 2);
  if (day < 1 || day > 31 || pos >= text.size() || text[pos++] != '/') return -1;
  int month = readDigits(text, pos, 1, 2);
  if (month < 1 || month > 12 || pos >= text.size() || text[pos++] != '/') return -1;
  int year = readDigits(text, pos, 4, 4);
  if (year < 0 || pos != text.size()) return -1;
  return clock::dateNumber({year, month, day, 0, 0, 0});
}

int64_t dateFromFields(const std::string& fields, int64_t now) {
  if (fields.empty()) return 0;
  sys::LocalTime t = clock::fromDateNumber(now);
  for (const std::string& item : commaItems(fields)) {
    size_t equals = item.find('=');
    if (equals == std::string::npos) continue;
    std::string unit = toLower(item.substr(0, equals));
    auto n = static_cast<int>(numberValue(item.substr(equals + 1)));
    if (unit == "y")
      t.year = n;
    else if (unit == "o")
      t.month = n;
    else if (unit == "d")
      t.day = n;
    else if (unit == "h")
      t.hour = n;
    else if (unit == "m")
      t.minute = n;
    else if (unit == "s")
      t.second = n;
  }
  return clock::dateNumber(t);
}

int checkDate(Engine& engine, const std::string& value, const std::string& mode) {
  engine.log("Vérification de la date...", "+1");
  int64_t now = clock::nowNumber();
  if (mode == "period") return checkPeriods(engine, value, now) ? 1 : 0;
  if (mode == "startdate") {
    engine.log("Vérification à partir d'une date.", "+2");
    return now >= dateFromFields(value, now) ? 1 : 0;
  }
  if (mode == "stopdate") {
    engine.log("Vérification à partir d'une date butoir.", "+2");
    return now <= dateFromFields(value, now) ? 1 : 0;
  }
  return someDayHolds(value, now) ? 1 : 0;
}

}  // namespace orv
