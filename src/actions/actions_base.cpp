#include "actions/actions_base.h"

#include "engine/os_error_line.h"
#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/ini.h"
#include "engine/text_util.h"
#include "engine/log_writer.h"

namespace orv {

static const char* groupOf(RecordKind kind) { return kind == RecordKind::Date ? "ActionDate" : "Action"; }

// Registry side of the actions base (actions_base_registry.cpp).
std::string readRegistryRecord(Engine& engine, const std::string& name, RecordKind kind);
int writeRegistryRecord(Engine& engine, const std::string& name, RecordKind kind, const std::string& value);

bool actionsBaseConfigured(const Engine& engine) {
  return !engine.root.actionsFile.empty() || !engine.root.registryLocation.empty();
}

std::string readStoredRecord(Engine& engine, const std::string& name, RecordKind kind, BaseLocation where) {
  if (where == BaseLocation::Registry) return readRegistryRecord(engine, name, kind);
  const std::string& path = engine.root.actionsFile;
  std::optional<IniFile> ini = engine.root.readOnlyBase ? IniFile::load(path) : IniFile::loadLocked(path);
  if (!ini) return "";
  return ini->get(groupOf(kind), name).value_or("0");
}

// Rewrites the record under the file's lock, so concurrent runs keep each other's records.
static void writeIniRecord(Engine& engine, const std::string& name, RecordKind kind,
                           const std::string& value) {
  const std::string& path = engine.root.actionsFile;
  int64_t d = clock::nowNumber();
  std::string stored = kind == RecordKind::Date ? decimal(d) : decimal(numberValue(value));
  sys::clearOsError();
  bool written = IniFile::update(path, [&](IniFile& ini) { ini.set(groupOf(kind), name, stored); });
  if (!written) {
    // Nothing specified is logged here; the reason, when the system gave one, is.
    logOsError(engine, "ERR+1");
    return;
  }
  if (kind == RecordKind::Date)
    engine.log("Inscription de l'action " + name + " à la date N°" + decimal(d) +
                   formatDate(" (%dd/%mm/%yyyy - %hh:%ii:%ss)", clock::fromDateNumber(d)),
               "+0");
  else
    engine.log("Inscription de l'action " + name + " à la version " + value, "+0");
}

int writeActionRecord(Engine& engine, const std::string& name, RecordKind kind, const std::string& value) {
  if (!engine.root.actionsFile.empty()) writeIniRecord(engine, name, kind, value);
  if (engine.root.registryLocation.empty() || name.empty()) return 1;
  return writeRegistryRecord(engine, name, kind, value);
}

void recordExecutedAction(Engine& engine, ActionContext& action, int64_t result) {
  if (result != 1 && result != -1) return;
  if (action.versionNumber > -1) {
    writeActionRecord(engine, action.name, RecordKind::Version, decimal(action.versionNumber));
    action.versionNumber = 0;
  }
  if (!action.versionDate.empty()) {
    writeActionRecord(engine, action.name, RecordKind::Date, "");
    action.versionDate.clear();
  }
}

}  // namespace orv
