// Registry side of the actions base: one REG_DWORD per action under the keys
// registryLocation + "Action" and registryLocation + "ActionDate".
#include "actions/actions_base.h"
#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/text_util.h"
#include "engine/log_writer.h"
#include "engine/registry.h"

namespace orv {

static std::string keyText(const Engine& engine, RecordKind kind) {
  return engine.root.registryLocation + (kind == RecordKind::Date ? "ActionDate" : "Action");
}

std::string readRegistryRecord(Engine& engine, const std::string& name, RecordKind kind) {
  RegistryPath path;
  parseRegistryPath(keyText(engine, kind), path);  // a bad location reads as missing
  path.machine = ".";
  return readRegistryValue(path, name, engine.switches.registryView);
}

int writeRegistryRecord(Engine& engine, const std::string& name, RecordKind kind, const std::string& value) {
  std::string key = keyText(engine, kind);
  RegistryPath path;
  parseRegistryPath(key, path);
  path.machine = ".";
  std::string text = value;
  if (kind == RecordKind::Date) {
    int64_t d = clock::nowNumber();
    text = decimal(d);
    engine.log("Inscription de l'action " + name + " à la date" +
                   formatDate(" (%dd/%mm/%yyyy - %hh:%ii:%ss)", clock::fromDateNumber(d)) +
                   " à l'emplacement " + key,
               "+0");
  } else {
    engine.log("Inscription de l'action " + name + " à la version " + value + " à l'emplacement " + key,
               "+0");
  }
  int64_t result = 0;
  int view = engine.root.actionsBaseView;
  if (regapi::Handle handle = createRegistryKey(path, view)) {
    closeRegistryKey(handle);
    result = writeRegistryValue(path, kRegDword, name, text, view);
  }
  if (result == 1) return 1;
  engine.log("Erreur dans l'inscription de l'action.", "ERR+0");
  return 0;
}

}  // namespace orv
