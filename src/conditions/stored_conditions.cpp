#include "conditions/stored_conditions.h"

#include <map>
#include <optional>

#include "engine/attribute_errors.h"
#include "engine/engine.h"
#include "engine/text_util.h"

namespace orv {

namespace {

bool isEqualMode(const std::string& mode) { return mode.empty() || mode == "equal"; }

template <typename Map>
std::optional<typename Map::mapped_type> lookUp(const Map& store, const std::string& name) {
  auto it = store.find(name);
  if (it == store.end()) return std::nullopt;
  return it->second;
}

// The walk of a return code over the listed codes: "equal" holds on the
// first listed code, "dif" when the code is none of them.
int compareCodes(Engine& engine, int64_t code, const std::string& value, const std::string& mode) {
  engine.log("Code à évaluer : " + decimal(code), "+2");
  bool holds = false;
  for (const std::string& item : valueList(value)) {
    if (item.empty()) continue;
    int64_t wanted = numberValue(item);
    engine.log("Code à vérifier : " + decimal(wanted), "+3");
    if (isEqualMode(mode) && code == wanted) {
      engine.log("Le code retour est égale à celui demandé.", "+2");
      return 1;
    }
    if (mode == "dif" && code != wanted) holds = true;
    if (mode == "dif" && code == wanted) {
      engine.log("Code retour identique à celui spécifiée dans la liste.", "+2");
      return 0;
    }
  }
  return holds ? 1 : 0;
}

// The texts that tell a memo test from a parameter test.
struct ValueTexts {
  const char* first;
  const char* notFoundStart;
  const char* present;
  const char* valueLine;
  const char* equalLine;
  const char* differentLine;
  const char* containsLine;
};

const ValueTexts kMemoTexts{"Vérification d'une mémorisation (MEMO)",
                            "Le memo ",
                            "Le mémo est présent.",
                            "Valeur du mémo : ",
                            "La valeur du mémo est égale.",
                            "La valeur du mémo est différente.",
                            "La valeur du mémo contient la chaine."};
const ValueTexts kParameterTexts{"Vérification d'un paramètre en ligne de commande.",
                                 "Le paramètre ",
                                 "Le paramètre est présent.",
                                 "Valeur du paramètre : ",
                                 "La valeur du paramètre est égale.",
                                 "La valeur du paramètre est différente.",
                                 "La valeur du paramètre contient la chaine."};

int compareTexts(Engine& engine, const ValueTexts& t, const std::string& stored, const std::string& value,
                 const std::string& mode) {
  std::string listText;
  std::vector<std::string> items = valueList(value, &listText);
  engine.log(t.valueLine + stored, "+2");
  engine.log("Valeur à vérifier : " + listText, "+2");
  bool holds = false;
  for (const std::string& item : items) {
    if (isEqualMode(mode) && stored == item) {
      engine.log(t.equalLine, "+3");
      holds = true;
    } else if (mode == "dif") {
      holds = stored != item;
      if (!holds) {
        engine.log(t.differentLine, "+3");
        break;
      }
    } else if (mode == "cont" && stored.find(item) != std::string::npos) {
      engine.log(t.containsLine, "+3");
      holds = true;
    }
  }
  return holds ? 1 : 0;
}

// The shared walk of memo and parameter tests; stored is null when the name is unknown.
int checkStoredText(Engine& engine, const ValueTexts& t, const std::string& name, const std::string* stored,
                    const std::string& value, const std::string& mode, bool nothingToCompare) {
  engine.log(t.first, "+1");
  if (name.empty()) {
    engine.log(attributeErrorText(kErrMissingArgs), "ERR+1");
    return 0;
  }
  if (!stored) {
    engine.log(t.notFoundStart + name + " n'a pas été trouvé.", "ATT+1");
    return 0;
  }
  if (nothingToCompare) {
    engine.log(t.present, "+2");
    return 1;
  }
  return compareTexts(engine, t, *stored, value, mode);
}

}  // namespace

std::vector<std::string> valueList(const std::string& value, std::string* listText) {
  size_t first = value.find_first_not_of(',');
  std::string text = first == std::string::npos
                         ? std::string()
                         : value.substr(first, value.find_last_not_of(',') - first + 1);
  text += ",";
  if (listText) *listText = text;
  std::vector<std::string> items;
  for (size_t start = 0, comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    items.push_back(text.substr(start, comma - start));
  return items;
}

int8_t answerCode(const std::string& text) {
  static const std::map<std::string, int8_t> kCodes{{"yes", 6},    {"no", 7},        {"ok", 1},
                                                    {"cancel", 2}, {"continue", 11}, {"retry", 10}};
  auto it = kCodes.find(toLower(text));
  return it != kCodes.end() ? it->second : static_cast<int8_t>(numberValue(text));
}

std::string answerName(int64_t code) {
  switch (code) {
    case 6: return "Yes";
    case 7: return "No";
    case 1: return "OK";
    case 2: return "Cancel";
    case 11: return "Continue";
    case 10: return "Retry";
    default: return "-";
  }
}

int8_t actionStateCode(const std::string& text) {
  std::string word = toLower(text);
  if (word == "true") return 1;
  if (word == "ignored") return -2;
  return 0;
}

int checkExecResult(Engine& engine, const std::string& name, const std::string& value,
                    const std::string& mode) {
  engine.log("Vérification du code retour de l'execution de programme nommée : " + name, "+1");
  std::optional<int64_t> code = name.empty() ? std::nullopt : lookUp(engine.results.exec, name);
  if (code && !value.empty()) return compareCodes(engine, *code, value, mode);
  if (!code) {
    engine.log("La directive exec " + name + " n'a pas été trouvé.", "ATT+1");
    return 0;
  }
  engine.log(attributeErrorText(kErrMissingArgs), "ERR+1");
  return 0;
}

int checkLibResult(Engine& engine, const std::string& name, const std::string& value,
                   const std::string& mode) {
  engine.log("Vérification du code retour de l'execution de la librairie : " + name, "+1");
  std::optional<int64_t> code = name.empty() ? std::nullopt : lookUp(engine.results.lib, name);
  if (code && !value.empty()) return compareCodes(engine, *code, value, mode);
  if (!code) return 0;
  engine.log(attributeErrorText(kErrMissingArgs), "ERR+1");
  return 0;
}

int checkActionState(Engine& engine, const std::string& name, const std::string& value,
                     const std::string& mode) {
  engine.log("Vérification d'un code retour d'action.", "+1");
  int8_t wanted = actionStateCode(value);
  if (name.empty()) {
    engine.log(attributeErrorText(kErrMissingArgs), "ERR+1");
    return 0;
  }
  std::optional<int8_t> got = lookUp(engine.results.actionStates, name);
  if (!got) {
    engine.log("L'action " + name + " n'a pas été trouvé dans les codes retours.", "ATT+1");
    return 0;
  }
  engine.log("Code retour de l'action : " + decimal(*got), "+2");
  engine.log("Code à vérifier : " + value + " (" + decimal(wanted) + ")", "+2");
  if (isEqualMode(mode) && *got == wanted) {
    engine.log("L'action est à l'état demandé.", "+3");
    return 1;
  }
  if (mode == "dif" && *got != wanted) {
    engine.log("L'action à un état différent.", "+3");
    return 1;
  }
  return 0;
}

int checkMemo(Engine& engine, const std::string& name, const std::string& value, const std::string& mode,
              bool hasValue) {
  const MemoEntry* entry = name.empty() ? nullptr : engine.memos.find(name);
  std::string stored = entry ? engine.memos.textOf(*entry) : std::string();
  return checkStoredText(engine, kMemoTexts, name, entry ? &stored : nullptr, value, mode, !hasValue);
}

int checkParameter(Engine& engine, const std::string& name, const std::string& value,
                   const std::string& mode) {
  auto it = name.empty() ? engine.params.end() : engine.params.find(name);
  const std::string* stored = it == engine.params.end() ? nullptr : &it->second;
  return checkStoredText(engine, kParameterTexts, name, stored, value, mode, value.empty());
}

int checkMsgboxAnswer(Engine& engine, const std::string& name, const std::string& value,
                      const std::string& mode) {
  engine.log("Vérification de la réponse d'un MSGBOX", "+1");
  int8_t wanted = answerCode(value);
  auto it = engine.results.dialogs.find(name);
  if (it == engine.results.dialogs.end()) {
    engine.log("Le MSGBOX " + name + " n'a pas été trouvé ou non démarré.", "ATT+1");
    return 0;
  }
  int64_t got = numberValue(it->second.text);
  engine.log("Retour de MSGBOX : " + answerName(got), "+2");
  engine.log("Valeur à vérifier MSGBOX : " + value, "+2");
  if (isEqualMode(mode) && got == wanted) {
    engine.log("La valeur est égale.", "+3");
    return 1;
  }
  if (mode == "dif" && got != wanted) {
    engine.log("La valeur est différente.", "+3");
    return 1;
  }
  return 0;
}

}  // namespace orv
