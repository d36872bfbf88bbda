#include "flow/memo_directive.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "flow/memo_loaders.h"
#include "engine/registry.h"
#include "engine/os_error_line.h"
#include "platform/clipboard.h"

namespace orv {

namespace {

int memoInternal(Engine& engine, const std::string& name, const std::string& value) {
  engine.log("Mémorisation de la valeur : " + value + " sous l'étiquette " + name, "+1");
  engine.memos.set(name, expandAttribute(engine, value));
  return 1;
}

int memoParameter(Engine& engine, const std::string& name, const std::string& value) {
  engine.log("Récupération de la valeur d'un paramètre en ligne de commande nommée : " + value, "+1");
  if (value.empty()) {
    engine.log("Il est obligatoire de spécifier une valeur pour la récupération paramètre.", "ERR+1");
    return 0;
  }
  auto it = engine.params.find(value);
  if (it == engine.params.end()) {
    engine.log("Le paramètre n'existe pas.", "+1");
    return 0;
  }
  engine.memos.set(name, expandAttribute(engine, it->second), kMemoParameter);
  engine.log("Récupération effectuée : " + it->second, "+1");
  return 1;
}

// Without an interactive desktop there is no clipboard to read: an empty text is kept.
int memoClipboard(Engine& engine, const std::string& name) {
  engine.log("Récupération du presse papier.", "+1");
  std::string text;
  clip::ClipboardRead read = clip::readClipboardText(text);
  if (read == clip::ClipboardRead::Unavailable) {
    engine.log("Impossible d'ouvrir le presse papier.", "ERR+2");
    logOsError(engine, "ERR+3");
    return 0;
  }
  if (read == clip::ClipboardRead::NoDesktop)
    engine.log("Aucun bureau interactif : le presse papier est lu comme vide.", "WRN+2");
  engine.log("Contenu de la valeur de base de registre : " + text, "+2");
  engine.memos.set(name, expandAttribute(engine, text), kMemoClipboard);
  return 1;
}

int memoRegistryKey(Engine& engine, const RegistryPath& path, int view, const std::string& name) {
  engine.log("Récupération de plusieurs valeurs d'une clef.", "+2");
  if (!name.empty()) engine.log("Tout les noms de valeurs seront préfixé de : " + name + ".", "ATT+2");
  if (registryExists(path, "", view) != 1) {
    engine.log("La clef n'existe pas.", "ERR+3");
    return 0;
  }
  for (uint32_t index = 0;; ++index) {
    std::string valueName = enumRegistryValueName(path, index, view);
    if (valueName.empty()) break;
    std::string content = readRegistryValue(path, valueName, view);
    engine.log("Contenu de la valeur : " + valueName + " -> " + content, "+3");
    engine.memos.set(name + valueName, expandAttribute(engine, content));
  }
  return 1;
}

// The N-th blank-separated field of content (fields counted after appending one blank).
std::string pickLine(Engine& engine, std::string content, int64_t n) {
  engine.log("Récupération de la ligne n°" + decimal(n), "+3");
  content += " ";
  int64_t count = 0;
  for (char c : content) count += c == ' ';
  engine.log("Nombre de ligne dans la valeur : " + decimal(count), "+3");
  if (n > count) {
    engine.log("La ligne demandée dépasse le nombre de ligne total de la valeur.", "ATT+4");
    return content;
  }
  size_t start = 0;
  for (int64_t i = 1; i < n; ++i) start = content.find(' ', start) + 1;
  std::string field = content.substr(start, content.find(' ', start) - start);
  engine.log("Stockage de la valeur : " + field, "+4");
  return field;
}

int memoRegistryValue(Engine& engine, const RegistryPath& keyPath, int view, const std::string& name,
                      const std::string& line) {
  RegistryPath path = keyPath;
  size_t bs = path.subKey.rfind('\\');
  std::string valueName = bs == std::string::npos ? path.subKey : path.subKey.substr(bs + 1);
  path.subKey = bs == std::string::npos ? "" : path.subKey.substr(0, bs);
  std::string content = readRegistryValue(path, valueName, view);
  engine.log("Contenu de la valeur de base de registre : " + content, "+2");
  int64_t n = numberValue(line);
  if (n > 0 && !content.empty()) content = pickLine(engine, content, n);
  if (content.empty()) engine.log("Valeur vide.", "ATT+3");
  engine.memos.set(name, expandAttribute(engine, content));
  return 1;
}

int memoRegistry(Engine& engine, const AttributeMap& attrs, const std::string& location,
                 const std::string& name, const std::string& mode) {
  engine.log("Récupération de l'information dans la base de registre.", "+1");
  RegistryPath path;
  parseRegistryPath(location, path);  // a bad location reads as missing
  int view = isMachine64Bit(path.machine) ? 1 : 0;
  if (mode == "key") return memoRegistryKey(engine, path, view, name);
  return memoRegistryValue(engine, path, view, name, attrs.get("line"));
}

int64_t memoBody(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  std::string type = firstChars(toLower(attrs.get("type")), 20);
  std::string mode = firstChars(toLower(attrs.get("mode")), 30);
  std::string name = attrs.get("name");
  std::string value = expandAttribute(engine, attrs.get("value"));
  std::string location = expandAttribute(engine, attrs.get("location"));
  int result = 0;
  if (type == "internal") {
    result = memoInternal(engine, name, value);
  } else if (type == "file") {
    result = loadFileIntoMemo(engine, location, attrs.get("line"), name);
  } else if (type == "ini") {
    result =
        loadIniIntoMemos(engine, {.path = location,
                                  .group = expandAttribute(engine, attrs.get("groupname")),
                                  .key = attrs.get("line"),
                                  .name = name,
                                  .defaultValue = value,
                                  .withGroupName = find(mode, "assogroupname", true) != std::string::npos});
  } else if (type == "registry") {
    result = memoRegistry(engine, attrs, location, name, mode);
  } else if (type == "clipboard") {
    result = memoClipboard(engine, name);
  } else if (type == "parameters") {
    result = memoParameter(engine, name, value);
  } else {
    engine.log("Il manque des paramètres pour executer la vérification.", "ERR+1");
  }
  return result;
}

}  // namespace

int64_t runMemoDirective(Engine& engine, const DirectiveNode& node) {
  return runDirective(engine, node, "MEMO", memoBody, kNoAttributesNotice);
}

}  // namespace orv
