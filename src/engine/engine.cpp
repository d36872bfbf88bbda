#include "engine/engine.h"

#include "engine/os_error_line.h"
#include "engine/text_util.h"
#include "platform/system.h"

namespace orv {

// A run log that cannot be written is said once, in the journal (or on the
// standard error when there is none), and the run goes on.
static void reportRunLogFailure(Engine& engine) {
  if (engine.runLogFailureReported) return;
  engine.runLogFailureReported = true;
  const sys::OsError& e = sys::lastOsError();
  std::string line = "Impossible d'écrire dans le fichier journal " + engine.runLog.path;
  if (!e.call.empty()) line += " : " + osErrorText(e);
  if (!engine.run.journalPath.empty())
    engine.logStartup(line, "ERR1");
  else
    sys::writeToStandardError(line + "\n");
}

void Engine::log(std::string_view message, std::string_view level) {
  if (window->mirrorsLog()) window->addListLine(std::string(message), 11, 0);
  if (logStopped || runLog.path.empty()) return;
  if (writeLogLine(runLog, message, level) == 0) reportRunLogFailure(*this);
}

void Engine::logStartup(std::string_view message, std::string_view level) {
  if (run.journalPath.empty()) return;
  // The journal's settings are fixed: 1024 KB, 10 archives, level 0.
  journal.path = run.journalPath;
  journal.maxSize = 1024;
  journal.maxArchives = 10;
  journal.nestingLevel = 0;
  writeLogLine(journal, message, level);
}

int64_t waitMilliseconds(Engine& engine, int64_t seconds, std::string_view level) {
  bool tooLong = false;
  int64_t ms = saturatingMul(seconds, 1000, &tooLong);
  if (!tooLong || seconds < 0) return ms;
  engine.log("Durée d'attente trop longue, ramenée à " + decimal(sys::kLongestSleepMs) + " millisecondes.",
             level);
  return sys::kLongestSleepMs;
}

}  // namespace orv
