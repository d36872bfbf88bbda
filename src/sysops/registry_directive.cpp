#include "sysops/registry_directive.h"

#include "engine/clock.h"
#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "engine/registry.h"

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

// What a REGISTRY element asks, read from its attributes.
struct RegistryRequest {
  std::string location;   // as written, after the memo substitution
  RegistryPath path;      // the parsed location (a bad one makes the calls fail)
  int view = 0;           // registry view of the calls
  std::string valueName;  // expanded
  std::string value;      // expanded once (mode add expands it again)
  uint32_t type = kRegNone;
  std::string mode;  // lower case
};

int selectView(const Engine& engine, const AttributeMap& attrs, const RegistryPath& path) {
  int view = runRegistryView(engine, path.machine);
  if (attrs.has("enableregistry64"))
    view = isTrue(attrs.get("enableregistry64")) ? 0 : (isMachine64Bit(path.machine) ? 1 : 0);
  return view;
}

RegistryRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  RegistryRequest r;
  r.location = substituteMemos(engine, attrs.get("location"));
  r.valueName = expandAttribute(engine, attrs.get("valuename"));
  r.value = expandAttribute(engine, attrs.get("value"));
  r.mode = toLower(attrs.get("mode"));
  r.type = typeCode(attrs.get("type"));
  parseRegistryPath(r.location, r.path);
  r.view = selectView(engine, attrs, r.path);
  return r;
}

int64_t addValue(Engine& engine, const RegistryRequest& r) {
  std::string value = expandAttribute(engine, r.value);
  engine.log("Ajout de la clef  à l'emplacement " + r.location + " avec la valeur " + value, "+1");
  int64_t result = 0;
  bool exists = registryExists(r.path, "", r.view) == 1;
  if (!exists) {
    engine.log("L'arborescence n'existe pas, création de(s) la/les clefs manquantes.", "+2");
    if (regapi::Handle key = createRegistryKey(r.path, r.view)) {
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
    result = writeRegistryValue(r.path, r.type, r.valueName, value, r.view);
  }
  return result;
}

int64_t deleteValue(Engine& engine, const RegistryRequest& r) {
  if (r.valueName.empty()) {
    engine.log("Il faut spécifier un nom de valeur !", "ERR+1");
    return 0;
  }
  engine.log("Suppression de la valeur " + r.valueName + " à l'emplacement " + r.location, "+1");
  return deleteRegistryValue(r.path, r.valueName, r.view);
}

}  // namespace

int64_t runRegistryDirective(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  RegistryRequest r = readRequest(engine, attrs);
  int64_t result = 0;
  if (r.mode == "add") {
    result = addValue(engine, r);
  } else if (r.mode == "del") {
    result = deleteValue(engine, r);
  } else if (r.mode == "delkey") {
    engine.log("Suppression de l'emplacement " + r.location, "+1");
    result = deleteRegistryTree(r.path, r.view);
  }
  // A system error code must not read as one of the interpreter's own codes
  // (-2 not taken, -3 stop, -5 end of action): every failure is an error, 0.
  if (result < 0) engine.log("Erreur système de la base de registre : " + decimal(-result), "ERR+1");
  return result == 1 ? 1 : 0;
}

}  // namespace orv
