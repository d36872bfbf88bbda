#include "conditions/machine_conditions.h"

#include <algorithm>

#include "engine/attribute_errors.h"
#include "conditions/check.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/digest.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/system_facts.h"

namespace orv {

int64_t pathSize(const std::string& path) {
  if (fs::dirExists(path)) return -2;
  return fs::fileSize(path);
}

int checkDirectory(Engine& engine, const std::string& location) {
  engine.log("Répertoire à vérifier : " + location, "+1");
  int64_t size = pathSize(location);
  if (size == -2) {
    engine.log("Le répertoire est présent.", "+2");
    return 1;
  }
  if (size == -1)
    engine.log("Le répertoire n'est pas présent.", "+2");
  else if (size >= 0)
    engine.log("Le répertoire est détecté comme fichier.", "ATT+2");
  else
    engine.log(attributeErrorText(kErrInternal), "ERR+2");
  return 0;
}

namespace {

int checkFileSize(Engine& engine, const std::string& location, int64_t size, const std::string& value) {
  engine.log("Fichier à vérifier : " + location, "+1");
  int64_t expected = numberValue(value);
  if (size == expected) {
    engine.log("Le fichier existe.", "+2");
    return 1;
  }
  engine.log("Le fichier existe mais ne correspond pas à la taille spécifié (" + decimal(expected) +
                 " != " + decimal(size) + ").",
             "+2");
  return 0;
}

int checkFileDigest(Engine& engine, const std::string& location, const std::string& value) {
  engine.log("Fichier à vérifier : " + location, "+1");
  engine.log("MD5 à vérifier : " + value, "+1");
  std::optional<std::string> digest = fileDigestHex(location, DigestKind::Md5);
  if (!digest) {
    // The file went away or cannot be read: no digest to compare.
    engine.log("Impossible de lire le fichier pour calculer son empreinte MD5.", "ERR+2");
    return 0;
  }
  if (value == *digest) return 1;
  engine.log("Apparition d'une différence => : " + *digest, "ATT+2");
  return 0;
}

}  // namespace

int checkFile(Engine& engine, const std::string& location, const std::string& mode,
              const std::string& value) {
  int64_t size = pathSize(location);
  if (size == -1 || size == -2) {
    engine.log("Le fichier " + location + " n'existe pas.", "ERR+1");
    return 0;
  }
  if (mode == "size") return checkFileSize(engine, location, size, value);
  if (mode == "md5") return checkFileDigest(engine, location, value);
  if (mode == "fileversion") return 0;
  engine.log("Fichier à vérifier : " + location, "+1");
  engine.log("Le fichier existe.", "+2");
  return 1;
}

int matchGroups(Engine& engine, const std::string& value, std::vector<std::string> groups) {
  std::sort(groups.begin(), groups.end());
  if (groups.empty()) {
    engine.log("Il n'y a pas de groupe à verifier.", "+2");
    return 0;
  }
  engine.log("Récupération effectuée, vérification :", "+2");
  bool found = false;
  for (const std::string& item : commaItems(value)) {
    for (const std::string& group : groups) {
      engine.log(group, "+3");
      if (group == item) {
        engine.log("Oui.", "+3");
        found = true;
        break;
      }
    }
    if (!found) engine.log("Aucun groupes ne correspond.", "+2");
  }
  return found ? 1 : 0;
}

int checkGroups(Engine& engine, const std::string& value, const std::string& account) {
  if (value.empty()) {
    engine.log("Pas de valeur à vérifier !", "ERR+1");
    return 0;
  }
  std::string server = expandAttribute(engine, "#logonserver#");
  // Without a logon server (no such variable) the account is looked up on this machine.
  if (server == "#logonserver#") server.clear();
  server = replaceAll(server, "\\\\", "");
  engine.log("Vérification à l'appartenance du ou des groupe(s) : " + value, "+1");
  engine.log("Récupération de l'information auprès de : " + server, "+2");
  return matchGroups(engine, value, facts::accountGroups(server, account));
}

int checkProcess(Engine& engine, const std::string& value) {
  engine.log("Vérification si le processus " + value + " existe...", "+1");
  if (processExists(value)) {
    engine.log("Le processus existe.", "");
    return 1;
  }
  engine.log("Le processus n'existe pas.", "");
  return 0;
}

bool freeSpaceHolds(int64_t freeMib, int64_t number, const std::string& mode) {
  if (mode == "above") return freeMib >= number;
  if (mode == "below") return freeMib <= number;
  return false;
}

int checkFreeSpace(Engine& engine, const std::string& location, int64_t number, const std::string& mode) {
  engine.log("Vérification de l'espace disque", "+1");
  std::optional<uint64_t> bytes = facts::freeBytes(firstChars(location, 256));
  auto freeMib = static_cast<int64_t>(bytes.value_or(0) / 1024 / 1024);
  engine.log("Taille de l'espace disque : " + decimal(freeMib) + "M.", "+2");
  return freeSpaceHolds(freeMib, number, mode) ? 1 : 0;
}

}  // namespace orv
