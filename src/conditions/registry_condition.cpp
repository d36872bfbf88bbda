// The registry condition of CHECK: a key's presence, or a value's presence
// and text.
#include "engine/attribute_errors.h"
#include "conditions/machine_conditions.h"
#include "engine/engine.h"
#include "engine/registry.h"

namespace orv {

namespace {

std::string trimBackslashes(std::string text) {
  while (!text.empty() && text.back() == '\\') text.pop_back();
  size_t start = text.find_first_not_of('\\');
  return start == std::string::npos ? std::string() : text.substr(start);
}

int checkKey(Engine& engine, const std::string& location, const RegistryPath& path, int view) {
  engine.log("Vérification d'une clef.", "+2");
  if (registryExists(path, "", view) == 1) {
    engine.log("La clef est présente.", "+3");
    return 1;
  }
  engine.log("Impossible de localiser la clef.", "ATT+3");
  engine.log(trimBackslashes(location), "ATT+4");
  return 0;
}

int checkValue(Engine& engine, RegistryPath path, const std::string& expected, int view) {
  engine.log("Vérification d'une valeur.", "+2");
  size_t slash = path.subKey.rfind('\\');
  std::string valueName = slash == std::string::npos ? path.subKey : path.subKey.substr(slash + 1);
  std::string key = slash == std::string::npos ? std::string() : path.subKey.substr(0, slash);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  path.subKey = key;
  if (registryExists(path, valueName, view) != 1) {
    engine.log("Impossible de localiser la valeur " + valueName + " n'existe pas à l'emplacement : " + key,
               "ATT+3");
    return 0;
  }
  if (expected.empty()) {
    engine.log("Pas de contenu de valeur à vérifier, mais la valeur est présente.", "+3");
    return 1;
  }
  std::string got = readRegistryValue(path, valueName, view);
  if (got == expected) {
    engine.log("La valeur correspond à celle attendu.", "+3");
    return 1;
  }
  engine.log("La valeur est différente : " + got, "ATT+3");
  return 0;
}

}  // namespace

int checkRegistry(Engine& engine, const std::string& location, const std::string& mode,
                  const std::string& value) {
  engine.log("Vérification dans la base de registre.", "+1");
  std::string where = mode == "key" ? location + "\\" : location;
  RegistryPath path;
  parseRegistryPath(where, path);
  int view = runRegistryView(engine, path.machine);
  if (mode == "key") return checkKey(engine, where, path, view);
  if (mode == "value") return checkValue(engine, path, value, view);
  engine.log("Il faut spécifier le mode ! ", "ERR");
  engine.log(attributeErrorText(kErrInternal), "ERR");
  return 0;
}

}  // namespace orv
