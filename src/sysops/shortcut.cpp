#include "sysops/shortcut.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/files.h"
#include "platform/shortcut.h"
#include "sysops/file_helpers.h"

namespace orv {

namespace {

// Path-like attributes: environment and built-ins (#,%), then the memos.
std::string expandShortcut(Engine& engine, const AttributeMap& attrs, const char* key) {
  return substituteMemos(engine, expandText(attrs.get(key), "#,%"));
}

int showCommandOf(const std::string& openMode) {
  if (openMode == "mini") return 2;
  if (openMode == "maxi") return 3;
  return 1;
}

shortcut::ShortcutFields readLink(Engine& engine, const AttributeMap& attrs) {
  shortcut::ShortcutFields s;
  s.location = expandShortcut(engine, attrs, "location");
  s.targetPath = expandShortcut(engine, attrs, "targetpath");
  s.parameters = expandShortcut(engine, attrs, "parameters");
  s.description = expandShortcut(engine, attrs, "comment");
  s.workingDirectory = expandShortcut(engine, attrs, "workingdirectory");
  s.showCommand = showCommandOf(firstChars(attrs.get("openmode"), 10));
  s.iconFile = expandShortcut(engine, attrs, "fileicon");
  if (s.iconFile.empty()) s.iconFile = s.targetPath;
  s.iconIndex = static_cast<int>(numberValue(attrs.get("fileiconindex")));
  return s;
}

}  // namespace

int64_t runShortcut(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  shortcut::ShortcutFields link = readLink(engine, attrs);
  std::string folder = fs::folderPart(link.location);
  if (!folder.empty()) {
    createDirectoryTree(folder);
    if (!fs::dirExists(folder))
      engine.log("La création de l'emplacement du raccourci n'est pas crée correctement.", "ATT+1");
  }
  shortcut::createShortcut(link);
  if (fs::fileExists(link.location)) {
    engine.log("Création du raccourci effectué.", "+1");
    return 1;
  }
  engine.log("Echec de la création du raccourci.", "ATT+1");
  return 0;
}

}  // namespace orv
