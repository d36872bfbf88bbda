#include "actions/root_settings.h"

#include "engine/directive.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/os_error_line.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/file_ops.h"
#include "platform/filelock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/wow64.h"
#include "engine/registry.h"

namespace orv {

bool prepareActionsFile(const std::string& path) {
  std::string folder = fs::folderPart(path);
  if (!folder.empty()) fs::fileOps().createDirectories(folder);
  fs::FileLock lock(path);  // not while another run replaces the file
  return fs::fileOps().touchFile(path);
}

static void applyRootLog(Engine& engine, const AttributeMap& attrs) {
  std::string log = attrs.get("log");
  if (log.empty()) return;
  // Kept absolute: a later working folder change does not move the log.
  engine.runLog.path = fs::absolutePath(expandAttribute(engine, log, {.limit = 1024}));
  std::string folder = fs::folderPart(engine.runLog.path);
  if (!folder.empty()) fs::fileOps().createDirectories(folder);
}

static bool applyActionsFile(Engine& engine, const AttributeMap& attrs) {
  if (!attrs.has("actionsfile")) return true;
  engine.root.actionsFile =
      fs::absolutePath(expandAttribute(engine, attrs.get("actionsfile"), {.limit = 2048}));
  sys::clearOsError();
  if (prepareActionsFile(engine.root.actionsFile)) return true;
  engine.log("Erreur lors du chargement de la base des actions.", "ERR+1");
  engine.log("Chargement ou mise en place de la base " + engine.root.actionsFile + " impossible !", "ERR+1");
  logOsError(engine, "ERR+2");
  return false;
}

// The location with exactly one trailing backslash.
static std::string registryLocationOf(std::string location) {
  while (!location.empty() && location.back() == '\\') location.pop_back();
  return firstChars(location, 511) + "\\";
}

static void applyRegistryLocation(Engine& engine, const AttributeMap& attrs) {
  if (!attrs.has("locationregistry")) return;
  engine.root.registryLocation = registryLocationOf(attrs.get("locationregistry"));
  engine.log("Mémorisation des actions à l'emplacement : " + engine.root.registryLocation, "+1");
}

void readActionsBaseLocations(Engine& engine, const AttributeMap& attrs) {
  if (attrs.has("actionsfile"))
    engine.root.actionsFile =
        fs::absolutePath(expandAttribute(engine, attrs.get("actionsfile"), {.limit = 2048}));
  if (attrs.has("locationregistry")) engine.root.registryLocation = registryLocationOf(attrs.get("locationregistry"));
  engine.root.actionsBaseView = attrs.get("enableregistry64") == "true" ? 0 : (isMachine64Bit(".") ? 1 : 0);
}

int64_t loadRootSettings(Engine& engine, const DirectiveNode& root) {
  bool ok = true;
  AttributeMap attrs;
  if (loadAttributes(engine, root, attrs) != 0) {
    RootSettings& r = engine.root;
    r.rootTag = firstChars(root.name, 255);
    r.description = firstChars(attrs.get("description"), 512);
    r.blockTagErrorCode = parsePolicy(attrs.get("blocktagerror"), PolicyTable::BlockTagError);
    r.blockActionCode = parsePolicy(attrs.get("blockaction"), PolicyTable::BlockTagError);
    applyRootLog(engine, attrs);
    engine.log("----------------------------------------------------------------", "");
    engine.log("----------------------------------------------------------------", "");
    engine.log("Démarrage de " + r.rootTag, "");
    ok = applyActionsFile(engine, attrs);
    applyRegistryLocation(engine, attrs);
    if (attrs.get("enableregistry64") == "true") {
      engine.log("L'enregistrement des actions pourrons être redirigées par le système.", "ATT+1");
      r.actionsBaseView = 0;
    } else {
      r.actionsBaseView = isMachine64Bit(".") ? 1 : 0;
    }
  }
  engine.log("Configuration de la racine des actions effectuée", "+1");
  return applyErrorPolicy(engine, 0, ok ? 1 : 0);
}

static bool applyWorkingDir(Engine& engine, const AttributeMap& attrs) {
  if (!attrs.has("workingdir")) return true;
  if (sys::setCurrentDir(expandAttribute(engine, attrs.get("workingdir")))) {
    engine.log("Configuration du répertoire de travail : " + sys::currentDir(), "+1");
    return true;
  }
  engine.log("Le répertoire de travail n'est pas valide.", "+1");
  return false;
}

static bool applyRedirection(Engine& engine, const AttributeMap& attrs) {
  if (!attrs.has("redirectionfs64") || !isTrue(attrs.get("redirectionfs64"))) return true;
  engine.log("Réactivation de la redirection du système de fichier x64.", "+1");
  if (wow64::revertFsRedirection(engine.switches.fsRedirectionToken) == 1) return true;
  engine.log("Impossible de réactiver la redirection.", "ERR+2");
  return false;
}

int64_t applySettingsDirective(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  bool ok = applyWorkingDir(engine, attrs);
  if (attrs.has("waitatclose")) {
    int64_t n = numberValue(attrs.get("waitatclose"));
    engine.log(
        "Un délai d'attente avant fermeture de l'application est spécifié : " + decimal(n) + " secondes.",
        "+1");
    engine.switches.waitAtCloseMs = waitMilliseconds(engine, n, "ATT+2");
  }
  ok = applyRedirection(engine, attrs) && ok;
  if (attrs.has("enableregistry64")) {
    bool on = isTrue(attrs.get("enableregistry64"));
    engine.log(on ? "Réactivation de la redirection de la base de registre x64."
                  : "Désactivation de la redirection de la base de registre x64.",
               "+1");
    engine.switches.registryView = on ? 0 : 1;
  }
  if (attrs.has("logcomment") && isTrue(attrs.get("logcomment"))) {
    engine.log("Réactivation seulement pour le coeur Orvantis.", "ATT+2");
    engine.switches.logComments = true;
  }
  return ok ? 1 : 0;
}

}  // namespace orv
