#include "sysops/session.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/session_ops.h"
#include "platform/system.h"

namespace orv {

namespace {

// The value of `value`: recorded exit codes, then memos, substituted; then the number rule.
int64_t readValue(Engine& engine, const std::string& raw) {
  return numberValue(
      expandAttribute(engine, raw, {.actionStates = false, .dialogAnswers = false, .variables = false}));
}

int64_t act(Engine& engine, const AttributeMap& attrs) {
  std::string type = toLower(attrs.get("type"));
  session::SessionOps& ops = session::sessionOps();
  if (type == "reboot") {
    ops.reboot();
    engine.log("Le redémarrage de la machine est demandé.", "ATT+1");
  } else if (type == "shutdown") {
    ops.shutdown();
    engine.log("L'arrêt de la machine est demandé.", "ATT+1");
  } else if (type == "lock") {
    engine.log("Vérouillage de la session.", "ATT+1");
    ops.lock();
  } else if (type == "logoff") {
    ops.logoff();
    engine.log("Fermeture de la session.", "ATT+1");
  } else if (type == "quit") {
    int64_t value = readValue(engine, attrs.get("value"));
    engine.log("Sortie de l'execution de Orvantis avec la valeur : " + decimal(value), "ATT+1");
    engine.run.exitCode = value;
    sys::exitProcess(value);  // no further directive, end-of-run line or wait
  } else if (type == "actionquit") {
    readValue(engine, attrs.get("value"));
    engine.log("Sortie de l'action courante.", "ATT+1");
    return -5;
  } else if (type == "returncode") {
    int64_t value = readValue(engine, attrs.get("value"));
    engine.log("Réglage du code retour de sortie de Orvantis : " + decimal(value), "ATT+1");
    engine.run.exitCode = value;
  } else {
    engine.log("L'attribut type n'est pas spécifié ou n'est pas remplis correctement.", "ERR+1");
    return 0;
  }
  return 1;
}

}  // namespace

int64_t runSession(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  return act(engine, attrs);
}

}  // namespace orv
