// The root element's settings and the settings directive of the same tag.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// The root handler: log, actions base locations, default policies.
int64_t loadRootSettings(Engine& engine, const DirectiveNode& root);
// The ORVANTIS directive below the root: working folder, wait at close, switches.
int64_t applySettingsDirective(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);
// Where the actions base lives, from the root's attributes, without preparing or logging anything.
void readActionsBaseLocations(Engine& engine, const AttributeMap& attrs);
// Creates the INI file's folder and the file itself when missing; true when usable.
bool prepareActionsFile(const std::string& path);

}  // namespace orv
