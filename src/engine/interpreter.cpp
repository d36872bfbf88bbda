#include "engine/interpreter.h"

#include "engine/run_switches.h"
#include "engine/directive.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/text_util.h"

namespace orv {

namespace {

void moveLevel(Engine& engine, int delta) {
  engine.runLog.nestingLevel = static_cast<int8_t>(engine.runLog.nestingLevel + delta);
}

// The walking element's result survives its children's own runs: a child's
// -2 stays until a later 0 or -5 replaces it.
void walkChildren(Engine& engine, const DirectiveNode& node) {
  int64_t result = engine.currentResult;
  for (const DirectiveNode* child : node.children) {
    if (child->isElement()) {
      engine.log("", "");
      engine.log(child->path(), "LVL+0");
      int64_t res = interpretNode(engine, *child);
      if (res == 0 || res == -5) {
        result = res;
        if (res == 0) engine.run.exitCode |= -994;
        break;
      }
      if (res == -2) result = -2;
    } else if (child->kind == NodeKind::Comment) {
      if (engine.switches.logComments) engine.log(child->text, "+0");
    } else {
      engine.log("[INTERNE] : Erreur dans la reconaissance de la balise !", "ERR+0");
    }
  }
  engine.currentResult = result;
}

// Runs the element's handler (step 4); returns true when an ACTION context was saved.
void dispatch(Engine& engine, const DirectiveNode& node, const std::string& tag, ActionContext& saved,
              bool& hasSaved) {
  moveLevel(engine, 1);
  const DispatchEntry* entry = findHandler(tag);
  auto plugin = entry ? engine.pluginTags.end() : engine.pluginTags.find(tag);
  if (!entry && plugin != engine.pluginTags.end()) {
    engine.currentResult = plugin->second(engine, node);
  } else if (!entry) {
    engine.log("Balise non reconnu ! : " + tag, "LVL+0");
    engine.currentResult = 0;
  } else if (entry->close == CloseRule::Action) {
    if (!engine.action.name.empty()) {
      saved = engine.action;
      hasSaved = true;
      moveLevel(engine, 1);
    }
    engine.currentResult = runEntry(engine, *entry, node);
    engine.log("Retour de " + tag + " : " + decimal(engine.currentResult), "LVL+0");
    if (!engine.action.name.empty()) moveLevel(engine, -1);
  } else {
    engine.currentResult = runEntry(engine, *entry, node);
    if (entry->logsReturn) engine.log("Retour de " + tag + " : " + decimal(engine.currentResult), "LVL+0");
  }
  moveLevel(engine, -1);
}

void reportOutcome(Engine& engine, const DirectiveNode& node, const std::string& tag) {
  switch (engine.currentResult) {
    case 1:
    case -1:
      engine.currentResult = 1;
      moveLevel(engine, 1);
      walkChildren(engine, node);
      moveLevel(engine, -1);
      break;
    case 0:
      engine.log(tag + " en erreur.", "ERR+1");
      engine.run.exitCode |= -994;
      break;
    case -2: engine.log(tag + " non pris en compte ou déja effectuée.", "LVL+1"); break;
    case -3: engine.log(tag + " fin des opérations.", "LVL+1"); break;
    case -4: engine.log(tag + " fin de traitement de boucle.", "LVL+1"); break;
    case -5: engine.log(tag + " fin forcé de l'action courante.", "LVL+0"); break;
    default: break;
  }
}

void closeElement(Engine& engine, CloseRule rule, const ActionContext& saved, bool hasSaved) {
  int64_t& r = engine.currentResult;
  switch (rule) {
    case CloseRule::Action: closeActionElement(engine, hasSaved ? &saved : nullptr); break;
    case CloseRule::Condition:
      if (r == -2)
        r = 1;
      else if (r == -3)
        r = 0;
      break;
    case CloseRule::Loop:
      if (r == 1) r = -4;
      break;
    case CloseRule::None: break;
  }
}

}  // namespace

int64_t runEntry(Engine& engine, const DispatchEntry& entry, const DirectiveNode& node) {
  if (entry.handler) {
    int64_t overflows = engine.expansionOverflows;
    int64_t result = entry.handler(engine, node);
    return engine.expansionOverflows != overflows ? 0 : result;
  }
  return runDirective(engine, node, entry.tag, entry.body);
}

int64_t interpretNode(Engine& engine, const DirectiveNode& node) {
  engine.currentResult = 0;
  guardFsRedirection(engine);
  std::string tag = firstChars(node.name, 20);
  engine.events->elementStarted(node);
  if (node.depth > engine.maxDepth) {
    // Refuse absurdly deep documents instead of exhausting the stack.
    engine.log("Profondeur maximale d'imbrication atteinte (" + decimal(engine.maxDepth) + ") : la balise " +
                   tag + " n'est pas traitée.",
               "ERR+0");
    engine.log(tag + " en erreur.", "ERR+1");
    engine.run.exitCode |= -994;
    engine.events->elementEnded(node, 0, 0);
    return 0;
  }
  ActionContext saved;
  bool hasSaved = false;
  if (node.depth == 2) {
    engine.currentResult = loadRootElement(engine, node);
    engine.log("Retour du chargement de la Racine des actions : " + decimal(engine.currentResult), "LVL+0");
    moveLevel(engine, 1);
  } else {
    dispatch(engine, node, tag, saved, hasSaved);
  }
  int64_t handled = engine.currentResult;
  reportOutcome(engine, node, tag);
  const DispatchEntry* entry = node.depth == 2 ? nullptr : findHandler(tag);
  closeElement(engine, entry ? entry->close : CloseRule::None, saved, hasSaved);
  engine.events->elementEnded(node, handled, engine.currentResult);
  return engine.currentResult;
}

}  // namespace orv
