// ACTION elements: the due decision, the action context and the period syntax.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;

// The ACTION handler: 1 the action runs, -2 switched off or not due, 0 error.
int64_t runActionElement(Engine& engine, const DirectiveNode& node);
// True when the action is due by version.
bool versionTrigger(Engine& engine, const std::string& name, const std::string& version);
// True when the action is due by period.
bool dateTrigger(Engine& engine, const std::string& name, const std::string& period);
// Seconds per count of a lower-case period unit ("d" 86400); -1 for an unknown unit.
int64_t periodUnitSeconds(const std::string& unit);
// Length in seconds of a period text such as "d:1,h:-1".
int64_t parsePeriod(Engine& engine, const std::string& period);
// The blockaction step at the end of an action: the result the action passes on.
// A failed action (0) under "ignore" gives -1 (the walk goes on), under "block" 0.
int64_t blockActionStep(Engine& engine, int64_t result);
// Publishes _action.name_, _action.version_ and _action.description_.
void setActionVariables(Engine& engine);

}  // namespace orv
