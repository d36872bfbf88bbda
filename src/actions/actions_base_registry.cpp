// Registry side of the actions base. Until the registry layer is in place a
// configured registry location reads as missing and cannot be written.
#include "actions/actions_base.h"
#include "engine/engine.h"

namespace orv {

std::string readRegistryRecord(Engine&, const std::string&, RecordKind) { return ""; }

int writeRegistryRecord(Engine& engine, const std::string&, RecordKind, const std::string&) {
  engine.log("Erreur dans l'inscription de l'action.", "ERR+0");
  return 0;
}

}  // namespace orv
