#include "log/log_directive.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace orv {

static void moveLog(Engine& engine, const std::string& location) {
  std::string next = expandAttribute(engine, location, {.limit = 500});
  std::string old = firstChars(engine.runLog.path, 500);
  engine.log("L'emplacement du fichier journal à changé.", "ATT0");
  engine.log(next, "ATT0");
  std::string folder = fs::folderPart(next);
  if (!folder.empty()) fs::fileOps().createDirectories(folder);
  engine.runLog.path = fs::absolutePath(next);
  if (!old.empty()) engine.log("Fichier journal parent : " + old, "ATT0");
}

int64_t runLogDirective(Engine& engine, const DirectiveNode& node) {
  engine.log("LOG", "LVL+0");
  AttributeMap attrs;
  if (loadAttributes(engine, node, attrs) == 0) return applyErrorPolicy(engine, 0, 0);
  std::string mode = attrs.get("mode");
  if (mode == "stop") {
    engine.log("Arrêt de l'enregistrement d'événements dans le journal.", "+1");
    engine.logStopped = true;
  } else if (mode == "start") {
    engine.logStopped = false;
    engine.log("Démarrage de l'enregistrement d'événements dans le journal.", "+1");
  }
  if (attrs.has("location")) moveLog(engine, attrs.get("location"));
  if (attrs.has("maxsize")) engine.runLog.maxSize = numberValue(attrs.get("maxsize"));
  if (attrs.has("maxarchive")) engine.runLog.maxArchives = numberValue(attrs.get("maxarchive"));
  if (attrs.has("text")) writeLogLine(engine.runLog, expandAttribute(engine, attrs.get("text")), "+0");
  return applyErrorPolicy(engine, 0, 1);
}

}  // namespace orv
