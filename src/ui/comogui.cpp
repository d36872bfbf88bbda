#include "ui/comogui.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "ui/command_table.h"

namespace orv {

namespace {

// Variables written #name# or %name%, then memo references.
std::string expandPath(Engine& engine, const std::string& value) {
  return substituteMemos(engine, expandText(value, "#,%"));
}

}  // namespace

int64_t runComogui(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  engine.log("Ajout d'une commande sur l'interface graphique.", "+1");
  std::string name = substituteMemos(engine, attrs.get("name"));
  if (name.empty()) {
    engine.log("Le nom de la commande est vide : aucune commande n'est ajoutée.", "ERR+2");
    return 0;
  }
  ui::Command command;
  command.program = expandPath(engine, attrs.get("programlocation"));
  command.parameters = expandPath(engine, attrs.get("parameters"));
  command.workingDirectory = expandPath(engine, attrs.get("workingdirectory"));
  ui::setCommand(name, std::move(command));
  return 1;
}

}  // namespace orv
