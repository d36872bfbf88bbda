#include "sysops/exec.h"

#include "engine/os_error_line.h"
#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/process.h"

namespace orv {

namespace {

struct ExecRequest {
  std::string name, program, parameters, workingDir, mode, output, validCodes;
  int64_t limitMs = 0;
  bool hidden = false, wait = false;
};

// The four path-like attributes: "#,%" and dialog answers only.
std::string expandExec(Engine& engine, const AttributeMap& attrs, const char* key) {
  return expandAttribute(engine, attrs.get(key),
                         {.separators = "#,%", .actionStates = false, .execResults = false});
}

ExecRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  ExecRequest r;
  r.name = firstChars(attrs.get("name"), 255);
  r.program = expandExec(engine, attrs, "programlocation");
  r.parameters = expandExec(engine, attrs, "parameters");
  r.workingDir = expandExec(engine, attrs, "workingdirectory");
  r.mode = firstChars(attrs.get("mode"), 50);
  r.limitMs = numberValue(firstChars(attrs.get("waitingtime"), 10)) * 1000;
  r.output = expandExec(engine, attrs, "output");
  r.validCodes = firstChars(attrs.get("validreturncode"), 255);
  r.hidden = r.mode.find("hidden") != std::string::npos;
  r.wait = toLower(r.mode).find("wait") != std::string::npos;
  return r;
}

// Exit code, outputs and closing lines of a run that was waited for.
int64_t finishWaitedRun(Engine& engine, const ExecRequest& r, proc::ChildProcess& child, int64_t runId) {
  engine.log("En attente de la fin de l'execution du n°:" + decimal(child.pid()), "+2");
  int64_t result = 0, code = 0;
  if (!child.waitForExit(r.limitMs)) {
    engine.log("Le programme à dépassé le temp limite.", "ATT+3");
    child.terminate();
    engine.log("Lancement de l'arrêt forcé du programme. n°" + decimal(runId), "ERR+2");
    engine.log("Pas de code retour mémorisé.", "ERR+2");
  } else {
    code = child.exitCode();
    engine.results.exec[r.name] = code;
    result = 1;
  }
  std::string out = capturedText(child.takeOutput());
  if (!out.empty() && !r.output.empty()) {
    if (fs::fileOps().appendToFile(r.output, "\xEF\xBB\xBF")) fs::fileOps().appendToFile(r.output, out);
    engine.log("Retour du programme disponible => " + r.output, "+2");
  }
  // A log line keeps its first 2048 bytes: no need to copy more of a long text.
  std::string errors = capturedText(firstBytes(child.errors(), 4096));
  if (!errors.empty()) engine.log("Retour des erreurs du programme => " + errors, "+2");
  engine.log("Code retour du programme => " + decimal(code), "+1");
  if (result == 1) {
    if (!r.validCodes.empty())
      result = acceptsExitCode(r.validCodes, code) ? 1 : 0;
    else
      engine.log(
          "L'option validReturnCode n'est pas spécifié, aucune vérification ne sera faite sur le retour.",
          "+1");
  }
  return result;
}

int64_t execute(Engine& engine, const AttributeMap& attrs) {
  ExecRequest r = readRequest(engine, attrs);
  engine.log("Chemin du programme après traitement => " + r.program, "+1");
  engine.log("Répertoire de travail après traitement => " + r.workingDir, "+1");
  engine.log("Paramètres après traitement => " + r.parameters, "+1");
  engine.log("Vérification du chemin du fichier => " + r.program, "+1");
  if (!fs::fileExists(r.program)) {
    engine.log("Le programme n'existe pas à l'emplacement " + r.program, "ERR+1");
    return 0;
  }
  proc::StartOptions options;
  options.hidden = r.hidden;
  // Output nobody will read (no wait) goes to the null device rather than
  // into pipes that would fill up and block the program.
  options.capture = !r.output.empty() && r.wait;
  options.discardOutput = !r.output.empty() && !r.wait;
  if (r.hidden) engine.log("Lancement en mode caché", "+2");
  int64_t error = 0;
  sys::clearOsError();
  std::unique_ptr<proc::ChildProcess> child =
      proc::startProcess(r.program, r.parameters, r.workingDir, options, error);
  int64_t runId = child ? ++engine.execRuns : 0;
  if (runId > 0) engine.log("Processus N°:" + decimal(runId), "+1");
  if (!child) {
    engine.log("Erreur de lancement du programme (" + decimal(runId) + ")", "ERR+1");
    logOsError(engine, "ERR+2");
    return 0;
  }
  if (!r.wait) return 1;
  int64_t result = finishWaitedRun(engine, r, *child, runId);
  if (result != 1) engine.log("Le programme n'a pas retourné le bon code retour.", "ERR+1");
  return result;
}

}  // namespace

int64_t runExec(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  return execute(engine, attrs);
}

}  // namespace orv
