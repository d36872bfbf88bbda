#include "actions/action.h"
#include "engine/period.h"

#include "actions/actions_base.h"
#include "engine/clock.h"
#include "engine/directive.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "engine/log_writer.h"

namespace orv {

static const char* kDateMask = "%dd/%mm/%yyyy - %hh:%ii:%ss";

void setActionVariables(Engine& engine) {
  engine.memos.set("_action.name_", engine.action.name, kMemoBuiltin);
  engine.memos.set("_action.version_", decimal(engine.action.versionNumber), kMemoBuiltin);
  engine.memos.set("_action.description_", engine.action.description, kMemoBuiltin);
}

int64_t blockActionStep(Engine& engine, int64_t result) {
  if (result != 0) return result;
  // The action's own code, else the root's blockaction, else the root's blocktagerror.
  int code = engine.action.blockActionCode;
  if (code == 0) code = engine.root.blockActionCode;
  if (code == 0) code = engine.root.blockTagErrorCode;
  if (code == -1) {
    engine.log("BlockAction : Une erreur est survenur, l'action ne sera enregistrer.", "+1");
    return -1;
  }
  if (code == 1) engine.log("BlockAction : Bloquage si erreur.", "+1");
  return result;
}

// The stored text of a record: the INI file first, the registry replacing it.
static std::string storedText(Engine& engine, const std::string& name, RecordKind kind) {
  std::string text;
  if (!engine.root.actionsFile.empty()) text = readStoredRecord(engine, name, kind, BaseLocation::Ini);
  if (!engine.root.registryLocation.empty())
    text = readStoredRecord(engine, name, kind, BaseLocation::Registry);
  return text;
}

bool versionTrigger(Engine& engine, const std::string& name, const std::string& version) {
  engine.log("Vérification du déclenchement de l'action " + name, "+1");
  std::string text = storedText(engine, name, RecordKind::Version);
  if (!actionsBaseConfigured(engine)) return true;
  int64_t stored = numberValue(text), wanted = numberValue(version);
  std::string head = "L'action " + name;
  if (text.empty()) {
    engine.log(head + " n'est pas enregistrée.", "+2");
    return true;
  }
  if (wanted == 0) {
    engine.log(head + " est à " + version + ".", "+2");
    return true;
  }
  if (stored < wanted) {
    engine.log(head + " a une version différente", "+2");
    return true;
  }
  if (stored > wanted) {
    engine.log(head + " a une version supérieur !", "+2");
    return false;
  }
  engine.log(head + " est à la version : " + text + " sur la machine.", "+2");
  engine.log(head + " est à la version : " + version + " dans le fichier de directive.", "+2");
  return false;
}

static std::string describeDate(int64_t number) {
  return formatDate(kDateMask, clock::fromDateNumber(number)) + " (" + decimal(number) + ").";
}

// The stored date number; 0 (never run) for a record outside the dates the
// program writes, which only a damaged base holds.
static int64_t storedDate(Engine& engine, const std::string& name) {
  std::string text = storedText(engine, name, RecordKind::Date);
  int64_t last = numberValue(text);
  if (last == 0 || clock::dateNumberInRange(last)) return last;
  engine.log("Date de dernière execution endommagée, ignorée : " + text, "ATT+3");
  return 0;
}

bool dateTrigger(Engine& engine, const std::string& name, const std::string& period) {
  engine.log("Vérification du déclenchement de l'action " + name + " par date", "+1");
  int64_t length = parsePeriod(engine, period);
  int64_t last = storedDate(engine, name);
  if (!actionsBaseConfigured(engine)) return true;
  if (last == 0) {
    engine.log("L'action n'a jamais initialisé de date.", "+2");
    return true;
  }
  int64_t next = saturatingAdd(last, length), now = clock::nowNumber();
  engine.log("Date de dernière execution : " + describeDate(last), "+2");
  if (next < now) {
    engine.log("La date de dernière execution dépasse celle demandée. L'action " + name + " doit s'executer.",
               "+2");
    return true;
  }
  if (!clock::dateNumberInRange(next)) {
    // A period too long to give a date: never due.
    engine.log(
        "Date de prochaine execution incalculable (" + decimal(length) + " secondes après la dernière).",
        "ATT+3");
    return false;
  }
  engine.log("Date de prochaine execution : " + describeDate(next), "+2");
  return false;
}

// Version state: -1 switched off, 1 due, -2 not due, 0 no version.
static int versionState(Engine& engine, const std::string& name, const std::string& version) {
  if (version == "-1" || version == "disabled") {
    engine.log("L'action est désactivé option " + version + ".", "ATT+1");
    return -1;
  }
  if (version.empty()) return 0;
  engine.log("L'action est déclenché par numéro version.", "+1");
  if (versionTrigger(engine, name, version)) return 1;
  engine.log("Cette action ne sera pas pris en compte.", "+1");
  return -2;
}

static int dateState(Engine& engine, const std::string& name, const std::string& versionDate) {
  if (versionDate == "-1" || versionDate == "disabled") {
    engine.log("L'action est désactivée par l'option versionDate.", "ATT+1");
    return -1;
  }
  if (versionDate.empty()) return 0;
  engine.log("L'action est déclenchée par une période.", "+1");
  return dateTrigger(engine, name, versionDate) ? 1 : -2;
}

static int64_t decide(Engine& engine, const AttributeMap& attrs, ActionDecision& told) {
  std::string name = firstChars(attrs.get("name"), 255);
  std::string description = expandAttribute(engine, attrs.get("descriptionaction"), {.limit = 384});
  std::string version = firstChars(attrs.get("version"), 20);
  std::string versionDate = firstChars(toLower(attrs.get("versiondate")), 30);
  told.version = version, told.versionDate = versionDate;
  if (name.empty()) {
    engine.log("Vous devez renseigner une valeur pour le nom de l'action.", "ERR+2");
    told.reason = "no_name";
    return 0;
  }
  ActionContext& a = engine.action;
  a.name = name;
  a.description = firstChars(description, 255);
  a.blockActionCode = parsePolicy(firstChars(attrs.get("blockaction"), 20), PolicyTable::BlockTagError);
  a.versionNumber = version.empty() ? -65535 : static_cast<int32_t>(numberValue(version));
  a.blockTagErrorCode = parsePolicy(firstChars(attrs.get("blocktagerror"), 20), PolicyTable::BlockTagError);
  a.versionDate = firstChars(versionDate, 20);
  setActionVariables(engine);
  if (version.empty() && versionDate.empty()) {
    engine.log("Attention une action necessite au moins une version ou une versiondate.", "ATT+1");
    version = "-1";
  }
  int vs = versionState(engine, name, version);
  int ds = dateState(engine, name, versionDate);
  if (vs == -1 || ds == -1) {
    engine.log("Cette action est désactivé.", "+2");
    engine.window->showActionLine(name, a.description, -1, 0);
    told.reason = "disabled";
    return -2;
  }
  if (vs == 1 || ds == 1) {
    engine.window->showActionLine(name, a.description, 10, 0);
    engine.log("Démarrage de l'action : " + name, "+2");
    told.reason = "due";
    return 1;
  }
  engine.log("Cette action ne sera pas pris en compte.", "+2");
  engine.window->showActionLine(name, a.description, -2, 0);
  told.reason = "not_due";
  return -2;
}

int64_t runActionElement(Engine& engine, const DirectiveNode& node) {
  engine.log("", "");
  engine.log("Démarrage d'une nouvelle ACTION", "LVL+0");
  AttributeMap attrs;
  ActionDecision told;
  told.reason = "no_attributes";
  if (loadAttributes(engine, node, attrs) != 0) told.code = decide(engine, attrs, told);
  told.name = firstChars(attrs.get("name"), 255);
  engine.results.actionStates[told.name] = static_cast<int8_t>(told.code);
  engine.events->actionDecided(node, told);
  return told.code;
}

void closeAction(Engine& engine, const ActionContext* saved) {
  int64_t& r = engine.currentResult;
  bool recorded = r == 1 || r == -1;
  if (recorded) {
    engine.window->showActionLine("", "", static_cast<int>(r), 1);
    recordExecutedAction(engine, engine.action, r);
  } else if (r == -5) {
    r = 1;  // a forced end finishes the action normally, without recording it
  }
  engine.events->actionClosed(r, recorded);
  r = blockActionStep(engine, r);
  engine.log("Fin de l'action " + engine.action.name, "LVL+0");
  if (saved) {
    engine.action = *saved;
    setActionVariables(engine);
  }
}

}  // namespace orv
