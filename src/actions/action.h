// ACTION elements: the due decision, the action context and the period syntax.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
struct ActionContext;
class DirectiveNode;

// The ACTION handler: 1 the action runs, -2 switched off or not due, 0 error.
int64_t runActionElement(Engine& engine, const DirectiveNode& node);
// True when the action is due by version.
bool versionTrigger(Engine& engine, const std::string& name, const std::string& version);
// True when the action is due by period.
bool dateTrigger(Engine& engine, const std::string& name, const std::string& period);
// Closes an ACTION element (see closeActionElement in engine/interpreter.h).
void closeAction(Engine& engine, const ActionContext* saved);
// The blockaction step at the end of an action: the result the action passes on.
// A failed action (0) under "ignore" gives -1 (the walk goes on), under "block" 0.
int64_t blockActionStep(Engine& engine, int64_t result);
// Publishes _action.name_, _action.version_ and _action.description_.
void setActionVariables(Engine& engine);

}  // namespace orv
