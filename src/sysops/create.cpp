#include "sysops/create.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/os_error_line.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "sysops/file_helpers.h"

namespace orv {

namespace {

// UTF-8 to UTF-16LE; a malformed sequence becomes U+FFFD.
std::string utf16le(const std::string& text) {
  std::string out;
  for (char16_t unit : toUtf16(text, InvalidUtf8::Replace)) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

int64_t createFile(Engine& engine, const std::string& location, const std::string& value,
                   const std::string& mode) {
  engine.log("Création d'un fichier nommée " + location, "+2");
  if (fs::fileExists(location)) {
    engine.log("Le fichier existe déja", "ATT+3");
    if (mode.find("replace") != std::string::npos) {
      engine.log("Mode écrasement du fichier activé", "+4");
      if (!deleteFileForced(location)) {
        engine.log("Impossible de supprimer le fichier", "ERR+4");
        logOsError(engine, "ERR+5");
      }
    }
  }
  bool lineEnd = mode.find("rc") != std::string::npos;
  int format = createFormat(mode);
  std::string bytes =
      value.empty() ? std::string() : encodeCreateText(value + (lineEnd ? "\r\n" : ""), format);
  fs::RewriteOutcome outcome = fs::fileOps().writeAtStart(location, bytes);
  if (outcome == fs::RewriteOutcome::OpenFailed) {
    engine.log("Impossible de créer le fichier ", "ATT+2");
    logOsError(engine, "ATT+3");
    return 0;
  }
  if (value.empty()) {
    engine.log("Pas de valeur à écrire", "+2");
    return 1;
  }
  engine.log("Intégration de la valeur dans le fichier", "+3");
  engine.log(value, "+4");
  if (format != 0) engine.log("Marquage du B.O.M. n° " + decimal(format), "+3");
  if (lineEnd) engine.log("Intégration avec retour à ligne", "+3");
  return outcome == fs::RewriteOutcome::Written ? 1 : 0;
}

int64_t create(Engine& engine, const AttributeMap& attrs) {
  std::string location = expandAttribute(engine, attrs.get("location"));
  std::string value = expandAttribute(engine, attrs.get("value"));
  std::string type = firstChars(toLower(attrs.get("type")), 30);
  std::string mode = firstChars(toLower(attrs.get("mode")), 30);
  sys::clearOsError();
  if (type == "directory") {
    engine.log("Création du répertoire " + location, "+2");
    bool made = createDirectoryTree(location);
    if (made || fs::dirExists(location))
      engine.log("OK.", "+3");
    else {
      engine.log("Le répertoire n'est pas créé correctement.", "ERR+3");
      logOsError(engine, "ERR+4");
    }
    return made ? 1 : 0;
  }
  if (type == "file") return createFile(engine, location, value, mode);
  if (type == "evariable") {
    std::string name = firstChars(attrs.get("name"), 50);
    engine.log("Assignation à une variable d'environement :", "+2");
    engine.log("Nom : " + name, "+3");
    engine.log("Valeur : " + value, "+3");
    sys::setEnv(name, value);
    return 1;
  }
  return 0;
}

}  // namespace

int createFormat(const std::string& mode) {
  if (mode.find("ascii") != std::string::npos) return 24;
  if (mode.find("utf8") != std::string::npos) return 2;
  if (mode.find("unicode") != std::string::npos) return 25;
  return 0;
}

std::string encodeCreateText(const std::string& text, int format) {
  if (format == 2) return "\xEF\xBB\xBF" + text;
  if (format == 25) return "\xFF\xFE" + utf16le(text);
  return text::utf8ToAnsi(text);
}

int64_t runCreate(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  return create(engine, attrs);
}

int64_t runRenameDisk(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  std::string drive = firstChars(attrs.get("drive"), 10);
  std::string label = expandAttribute(engine, attrs.get("newname"), {.limit = 255});
  if (drive.empty() || label.empty()) {
    engine.log("La lettre ou le nom de lecteur ne sont pas remplis correctement", "ERR+1");
    return 0;
  }
  return fs::setVolumeLabel(drive, label) ? 1 : 0;
}

}  // namespace orv
