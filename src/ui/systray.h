// The SYSTRAY directive: named icons in the notification area, their
// tooltips, balloons and removal.
#pragma once
#include <cstdint>
#include <map>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Body of SYSTRAY (inside the common directive frame).
int64_t runSystray(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

// The tray icons shown so far: name (lower case) to the platform's identifier.
const std::map<std::string, int64_t>& trayIcons();

}  // namespace orv
