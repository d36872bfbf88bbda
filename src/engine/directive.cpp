#include "engine/directive.h"

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/text_util.h"

namespace orv {

std::string AttributeMap::get(const std::string& name) const {
  auto it = values_.find(name);
  return it == values_.end() ? std::string() : it->second;
}

// The value as the log shows it: a password never appears in clear.
std::string shownAttributeValue(const std::string& name, const std::string& value) {
  return name == "password" ? "********" : maskUrlPasswords(value);
}

size_t loadAttributes(Engine& engine, const DirectiveNode& node, AttributeMap& map) {
  engine.log("Chargement des paramètres de la directive :", "+1");
  if (!node.isElement()) {
    engine.log("Impossible de récuperer les attributs de la balise", "ERR+1");
    return 0;
  }
  for (const auto& [name, value] : node.attributes) {
    std::string key = toLower(name);
    std::string text(value);
    engine.log(key + " => " + shownAttributeValue(key, text), "+2");
    map.set(key, text);
  }
  return map.size();
}

bool isTrue(const std::string& text) { return toLower(text) == "true"; }

int8_t parsePolicy(const std::string& text, PolicyTable table) {
  std::string word = toLower(text);
  if (table == PolicyTable::BlockTagError) {
    if (word == "inherit") return 0;
    if (word == "block") return 1;
    if (word == "ignore") return -1;
  } else {
    if (word == "pie") return 0;
    if (word == "block" || word == "pne") return 1;
    if (word == "signalerror") return 2;
  }
  return static_cast<int8_t>(numberValue(text));
}

int8_t applyErrorPolicy(Engine& engine, int8_t code, int64_t result) {
  auto r = static_cast<int8_t>(result);
  if (code == 0) {
    if (engine.action.blockTagErrorCode != 0) {
      engine.log("BlockTagError : Paramètre hérité de l'action.", "+1");
      code = engine.action.blockTagErrorCode;
    } else if (engine.root.blockTagErrorCode != 0) {
      engine.log("BlockTagError : Paramètre hérité de la racine.", "+1");
      code = engine.root.blockTagErrorCode;
    }
  }
  if (code == -1) {
    engine.log("BlockTagError : On ignore le retour d'erreur passage à -1.", "+1");
    r = -1;
  } else if (code == 1) {
    engine.log("BlockTagError : Bloquage si erreur.", "+1");
  }
  return r;
}

int64_t runDirective(Engine& engine, const DirectiveNode& node, const char* tag, DirectiveBody body,
                     const char* emptyNotice) {
  engine.log(tag, "LVL+0");
  AttributeMap attrs;
  if (loadAttributes(engine, node, attrs) == 0) {
    if (emptyNotice) engine.log(emptyNotice, "ATT");
    return applyErrorPolicy(engine, 0, 0);
  }
  int8_t policy = parsePolicy(attrs.get("blocktagerror"), PolicyTable::BlockTagError);
  return applyErrorPolicy(engine, policy, body(engine, node, attrs));
}

}  // namespace orv
