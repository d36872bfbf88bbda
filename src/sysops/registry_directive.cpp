#include "sysops/registry_directive.h"

#include "engine/clock.h"
#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "sysops/registry.h"

namespace orv {

namespace {

uint32_t typeCode(const std::string& name) {
  std::string t = toLower(name);
  if (t == "reg_sz") return kRegSz;
  if (t == "reg_expand_sz") return kRegExpandSz;
  if (t == "reg_multi_sz") return kRegMultiSz;
  if (t == "reg_dword") return kRegDword;
  if (t == "reg_binary") return kRegBinary;
  return kRegNone;
}

int selectView(const Engine& engine, const AttributeMap& attrs, const RegistryPath& path) {
  int view = runRegistryView(engine, path.machine);
  if (attrs.has("enableregistry64"))
    view = isTrue(attrs.get("enableregistry64")) ? 0 : (isMachine64Bit(path.machine) ? 1 : 0);
  return view;
}

int64_t addValue(Engine& engine, const AttributeMap& attrs, const RegistryPath& path, int view,
                 const std::string& location, const std::string& valueName, const std::string& valueIn) {
  std::string value = expandAttribute(engine, valueIn);
  engine.log("Ajout de la clef  à l'emplacement " + location + " avec la valeur " + value, "+1");
  int64_t result = 0;
  bool exists = registryExists(path, "", view) == 1;
  if (!exists) {
    engine.log("L'arborescence n'existe pas, création de(s) la/les clefs manquantes.", "+2");
    if (regapi::Handle key = createRegistryKey(path, view)) {
      closeRegistryKey(key);
      exists = true;
      result = 1;
    }
  } else {
    engine.log("La clef existe déja.", "ATT+2");
    result = 1;
  }
  if (exists) {
    engine.log("Création de la valeur.", "+2");
    result = writeRegistryValue(path, typeCode(attrs.get("type")), valueName, value, view);
  }
  return result;
}

}  // namespace

int runRegistryView(const Engine& engine, const std::string& machine) {
  if (engine.switches.registryView != 1) return 0;
  return isMachine64Bit(machine) ? 1 : 0;
}


int64_t runRegistryDirective(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  std::string location = substituteMemos(engine, attrs.get("location"));
  std::string valueName = expandAttribute(engine, attrs.get("valuename"));
  std::string value = expandAttribute(engine, attrs.get("value"));
  std::string mode = toLower(attrs.get("mode"));
  RegistryPath path;
  parseRegistryPath(location, path);  // a bad location makes the calls below fail
  int view = selectView(engine, attrs, path);
  int64_t result = 0;
  if (mode == "add") {
    result = addValue(engine, attrs, path, view, location, valueName, value);
  } else if (mode == "del") {
    if (valueName.empty()) {
      engine.log("Il faut spécifier un nom de valeur !", "ERR+1");
    } else {
      engine.log("Suppression de la valeur " + valueName + " à l'emplacement " + location, "+1");
      result = deleteRegistryValue(path, valueName, view);
    }
  } else if (mode == "delkey") {
    engine.log("Suppression de l'emplacement " + location, "+1");
    result = deleteRegistryTree(path, view);
  }
  // A system error code must not read as one of the interpreter's own codes
  // (-2 not taken, -3 stop, -5 end of action): every failure is an error, 0.
  if (result < 0) engine.log("Erreur système de la base de registre : " + decimal(-result), "ERR+1");
  return result == 1 ? 1 : 0;
}

}  // namespace orv
