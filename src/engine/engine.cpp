#include "engine/engine.h"

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

}  // namespace orv
