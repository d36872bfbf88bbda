#include "engine/engine.h"

#include "engine/text_util.h"
#include "platform/system.h"

namespace orv {

void Engine::log(std::string_view message, std::string_view level) {
  if (window->mirrorsLog()) window->addListLine(std::string(message), 11, 0);
  if (!logStopped) writeLogLine(runLog, message, level);
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
