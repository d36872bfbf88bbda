#include "sysops/copy_delete.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/os_error_line.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "sysops/file_helpers.h"

namespace orv {

namespace {

bool contains(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

int64_t copyOneFile(Engine& engine, const std::string& source, const std::string& target,
                    const std::string& mode) {
  engine.log("Copie de fichier.", "+2");
  std::string folder = fs::folderPart(target);
  std::string dir = withoutTrailingSeparator(folder);
  // A target without folder lies in the current folder; a bare root stays the root.
  std::string probe = dir.empty() ? (folder.empty() ? std::string(".") : folder) : dir;
  engine.log("Vérification de l'existance du répertoire cible. (" + dir + ")", "+3");
  bool exists = fs::dirExists(probe);
  if (!exists && contains(mode, "createdir")) {
    engine.log("Le répertoire n'existe pas, création de celui-ci.", "+4");
    if (createDirectoryTree(probe))
      engine.log("Répertoire crée correctement.", "+5");
    else
      engine.log("Impossible de créer le répertoire avant la copie.", "ATT+5");
  } else if (exists && contains(mode, "createdir")) {
    engine.log("Le répertoire est déja présent, pas besoin de lancer la création de celui-ci.", "+4");
  }
  if (!fs::dirExists(probe)) {
    engine.log("Impossible de copier les données, le répertoire cible n'est pas présent.", "ERR+2");
    return 0;
  }
  engine.log("Copie de " + source + " vers " + target + " en cours...", "+2");
  return fs::fileOps().copyFile(source, target) ? 1 : 0;
}

int64_t copy(Engine& engine, const AttributeMap& attrs) {
  std::string source = expandAttribute(engine, attrs.get("sourcelocation"));
  std::string target = expandAttribute(engine, attrs.get("targetlocation"));
  std::string filter = expandAttribute(engine, attrs.get("filefilter"), {.limit = 255});
  std::string mode = firstChars(toLower(attrs.get("mode")), 30);
  std::string type = firstChars(toLower(attrs.get("type")), 30);
  int64_t result = 0;
  sys::clearOsError();
  if (type == "file") {
    result = copyOneFile(engine, source, target, mode);
  } else if (type == "directory") {
    engine.log("Copie du répertoire " + source + " vers " + target + " avec filtre de fichier " + filter,
               "+2");
    bool recursive = contains(mode, "recursive");
    if (recursive) engine.log("Copie en mode récursif", "+3");
    result = copyDirectory(source, target, filter, recursive) ? 1 : 0;
  } else {
    engine.log("Le paramètre type n'est pas renseigné correctement.", "ATT+1");
  }
  if (result == 1)
    engine.log("Copie effectué correctement.", "+1");
  else
    engine.log("Erreur de copie. Bien vérifier la source de la copie et la cible.", "ERR+1");
  if (result != 1) logOsError(engine, "ERR+2");
  return result;
}

// Emptying a whole volume is never what a directive means (an empty variable
// in "#dir#\" is enough to ask for it): refused.
bool refusedRoot(Engine& engine, const std::string& location) {
  if (!isVolumeRoot(location)) return false;
  engine.log("Suppression refusée : " + location + " est la racine d'un volume.", "ERR+2");
  return true;
}

int64_t deleteFile(Engine& engine, const std::string& location, const std::string& filter, bool recursive) {
  engine.log("Suppression du fichier " + location, "+1");
  if (filter.empty()) {
    if (fs::fileExists(location)) return deleteFileForced(location) ? 1 : 0;
    engine.log("Le fichier n'existe pas.", "ATT+1");
    return 0;
  }
  if (!fs::dirExists(location)) {
    engine.log("Le répertoire n'existe pas ou n'est pas accessible.", "ERR+1");
    return 0;
  }
  return deleteMatchingFiles(location, filter, recursive).succeeded() ? 1 : 0;
}

int64_t deleteSubDirectories(Engine& engine, const std::string& location, const std::string& filter,
                             bool force, bool recursive) {
  engine.log("Suppresion des sous-répertoires (" + filter + ") à la racine " + location, "+1");
  int64_t result = 1;
  for (const std::string& path : listSubDirectories(withoutTrailingSeparator(location), filter, recursive)) {
    if (!fs::dirExists(path)) continue;
    if (!fs::isLink(path)) deleteMatchingFiles(path, "", true);
    result = removeTree(path, force) ? 1 : 0;
    if (result == 0 && !force) break;
  }
  return result;
}

int64_t deleteDirectory(Engine& engine, const std::string& location, const std::string& filter, bool force,
                        bool recursive) {
  if (!fs::dirExists(location)) {
    engine.log("Le répertoire n'existe pas ou n'est pas accessible.", "ATT+1");
    return 1;
  }
  if (!filter.empty()) return deleteSubDirectories(engine, location, filter, force, recursive);
  engine.log("Suppresion du répertoire " + location, "+1");
  if (refusedRoot(engine, location)) return 0;
  return removeTree(location, true) ? 1 : 0;
}

int64_t cleanDirectory(Engine& engine, const std::string& location) {
  engine.log("Nettoyage du répertoire " + location, "+1");
  if (!fs::dirExists(location)) {
    engine.log("Le répertoire n'existe pas ou n'est pas accessible.", "ERR+1");
    return 0;
  }
  if (refusedRoot(engine, location)) return 0;
  // A folder without files at its top is already clean there: no failure.
  bool filesDeleted = !deleteMatchingFiles(location, "*", false).failed;
  std::vector<std::string> subs = listSubDirectories(location, "", false);
  int64_t result = 0;
  if (filesDeleted) {
    result = 1;
    for (const std::string& sub : subs) {
      if (removeTree(sub, true)) continue;
      engine.log("Erreur à la suppression du sous répertoire (" + sub + ").", "ERR+2");
      result = 0;
    }
  } else {
    engine.log("Erreur à la suppression des fichiers à la racine.", "ERR+2");
  }
  engine.log("Terminé.", "+1");
  return result;
}

int64_t deleteEntries(Engine& engine, const AttributeMap& attrs) {
  std::string location = expandAttribute(engine, attrs.get("location"));
  std::string filter = expandAttribute(engine, attrs.get("filefilter"), {.limit = 255});
  std::string mode = firstChars(attrs.get("mode"), 30);
  std::string type = firstChars(attrs.get("type"), 30);
  bool force = contains(mode, "force"), recursive = contains(mode, "recursive");
  int64_t result = 0;
  sys::clearOsError();
  if (type == "file")
    result = deleteFile(engine, location, filter, recursive);
  else if (type == "directory")
    result = deleteDirectory(engine, location, filter, force, recursive);
  else if (type == "cleandir")
    result = cleanDirectory(engine, location);
  else
    engine.log("Il est necéssaire de spécifier un type.", "ERR+1");
  if (result == 1)
    engine.log("Opération réussi", "+2");
  else
    engine.log("Impossible de supprimer.", "ATT+2");
  if (result != 1) logOsError(engine, "ATT+3");
  return result;
}

}  // namespace

int64_t runCopy(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  return copy(engine, attrs);
}

int64_t runDelete(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  return deleteEntries(engine, attrs);
}

}  // namespace orv
