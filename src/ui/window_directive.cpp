#include "ui/window_directive.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "ui/action_list.h"

namespace orv {

namespace {

// The engine's window hooks, installed by the first WINDOW directive.
ui::ActionList& actionList(Engine& engine) {
  auto* list = dynamic_cast<ui::ActionList*>(engine.window.get());
  if (list) return *list;
  auto made = std::make_unique<ui::ActionList>(ui::makeProgressWindow());
  list = made.get();
  engine.window = std::move(made);
  return *list;
}

// A coordinate keeps five characters, except the keyword "centred", kept whole.
std::string positionText(const std::string& value) {
  return value == "centred" ? value : firstChars(value, 5);
}

ui::WindowSettings readSettings(Engine& engine, const AttributeMap& attrs) {
  auto expanded = [&](const char* name, size_t limit) {
    return firstChars(expandAttribute(engine, attrs.get(name), {.limit = limit}), limit);
  };
  ui::WindowSettings s;
  s.titlewindow = expanded("titlewindow", 255);
  s.description = expanded("description", 255);
  s.rootDescription = firstChars(expandAttribute(engine, engine.root.description, {.limit = 255}), 255);
  s.displaylevel = firstChars(toLower(attrs.get("displaylevel")), 255);
  s.logoimage = expanded("logoimage", 512);
  s.icon = expanded("icon", 512);
  s.backgroundcolor = firstChars(attrs.get("backgroundcolor"), 15);
  s.textcolor = firstChars(attrs.get("textcolor"), 15);
  s.textbackgroundlistaction = firstChars(attrs.get("textbackgroundlistaction"), 15);
  s.textcolorlistaction = firstChars(attrs.get("textcolorlistaction"), 15);
  s.windowx = positionText(attrs.get("windowx"));
  s.windowy = positionText(attrs.get("windowy"));
  s.foregroundwindow = isTrue(attrs.get("foregroundwindow"));
  s.openlistaction = isTrue(attrs.get("openlistaction"));
  return s;
}

// create: a window once per run; without a desktop the answer is 1 and no thread starts.
int64_t createWindow(Engine& engine, ui::ActionList& list) {
  if (list.window().started()) return 0;
  if (!list.window().start(list.settings))
    engine.log("Pas de bureau interactif : la fenêtre de progression n'est pas affichée.", "+1");
  return 1;
}

int64_t windowBody(Engine& engine, const AttributeMap& attrs) {
  ui::ActionList& list = actionList(engine);
  list.settings = readSettings(engine, attrs);
  ui::ProgressWindow& window = list.window();
  std::string type = firstChars(toLower(attrs.get("type")), 10);
  if (type.empty()) type = window.started() ? "alter" : "create";
  if (type == "create") return createWindow(engine, list);
  if (type == "delete") {
    if (window.started()) window.end();
    return 0;
  }
  if (type == "hide" || type == "show") {
    if (!window.started()) return 0;
    type == "hide" ? window.hide() : window.show();
    return 1;
  }
  return 0;  // alter and unknown types: the settings alone changed
}

}  // namespace

int64_t runWindowDirective(Engine& engine, const DirectiveNode& node) {
  engine.log("WINDOW", "LVL+0");
  AttributeMap attrs;
  if (loadAttributes(engine, node, attrs) == 0) return applyErrorPolicy(engine, 0, 0);
  return applyErrorPolicy(engine, 0, windowBody(engine, attrs));
}

}  // namespace orv
