#include "flow/memo_loaders.h"

#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/ini.h"
#include "engine/text_util.h"
#include "platform/files.h"

namespace orv {

static std::string memoName(const std::string& group, const std::string& name, bool withGroup) {
  return withGroup ? group + "_" + name : name;
}

static int loadGroup(Engine& engine, const IniFile& ini, const IniMemoRequest& r, const std::string& name) {
  engine.log("Récupération dans le groupe " + r.group + ".", "+2");
  if (!ini.findGroup(r.group)) {
    engine.log("Le groupe " + r.group + " n'existe pas.", "ERR+2");
    return 0;
  }
  if (!r.key.empty()) {
    engine.log("Récupération de la valeur : " + r.key + ".", "+3");
    std::string value = ini.get(r.group, r.key).value_or(r.defaultValue);
    engine.log(name + " : " + value, "+4");
    engine.memos.set(memoName(r.group, name, r.withGroupName), value, kMemoIni);
    return 1;
  }
  engine.log("Récupération des valeurs du groupe " + r.group, "+3");
  for (const auto& [k, v] : ini.entries(r.group)) {
    std::string memo = memoName(r.group, k, r.withGroupName);
    engine.log(memo + " : " + v, "+4");
    engine.memos.set(memo, expandAttribute(engine, v), kMemoIni);
  }
  return 1;
}

int loadIniIntoMemos(Engine& engine, const IniMemoRequest& r) {
  engine.log("Récupération des informations dans le fichier INI.", "+1");
  std::string name = r.name.empty() && !r.key.empty() ? r.key : r.name;
  if (!fs::fileExists(r.path)) {
    engine.log("Impossible de localiser le fichier : " + r.path, "ERR+1");
    return 0;
  }
  std::optional<IniFile> ini = IniFile::load(r.path);
  if (!ini) return 0;
  if (!r.group.empty()) return loadGroup(engine, *ini, r, name);
  engine.log("Récupération de la totalité du fichier.", "+2");
  for (const auto& [g, entries] : ini->allGroups()) {
    engine.log("Récupération des valeurs du groupe " + g, "+3");
    for (const auto& [k, v] : entries) {
      engine.log(k + " : " + v, "+4");
      engine.memos.set(k, expandAttribute(engine, v), kMemoIni);
    }
  }
  return 1;
}

std::vector<std::string> splitTextLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  for (size_t i = start; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c != '\r' && c != '\n' && c != '\0') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

static int storeWholeFile(Engine& engine, const std::string& bytes, const std::string& name) {
  engine.log("Taille du fichier à stocker :" + decimal(static_cast<int64_t>(bytes.size() / 1024)) + " Ko.",
             "+3");
  engine.memos.setBlock(name, bytes);
  engine.log("Stockage effectuée à l'emplacement mémoire " + engine.memos.find(name)->value, "+4");
  return 1;
}

int loadFileIntoMemo(Engine& engine, const std::string& path, const std::string& lines,
                     const std::string& name) {
  engine.log("Ouverture du fichier à l'emplacement : " + path, "+1");
  std::optional<std::string> bytes = fs::fileExists(path) ? fs::readFile(path) : std::nullopt;
  if (!bytes) {
    engine.log("Impossible d'ouvrir le fichier.", "ERR+2");
    return 0;
  }
  engine.log("Récupération de l'information en cours ...", "+2");
  if (lines.empty()) return storeWholeFile(engine, *bytes, name);
  std::string wanted = "," + lines + ",";
  std::string kept;
  std::vector<std::string> all = splitTextLines(*bytes);
  for (size_t i = 0; i < all.size(); ++i) {
    if (wanted.find("," + decimal(static_cast<int64_t>(i + 1)) + ",") == std::string::npos) continue;
    engine.log("Récupération de la ligne n°" + decimal(static_cast<int64_t>(i + 1)), "+3");
    kept = all[i];
    break;
  }
  engine.log("Stockage sous le nom " + name, "+4");
  engine.memos.set(name, kept);
  return 1;
}

}  // namespace orv
