// The COPY and DELETE directives.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Handler of COPY: a file (optionally creating the target's folder) or a folder.
int64_t runCopy(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);
// Handler of DELETE: a file, matching files, a folder, matching sub-folders, or a folder's content.
int64_t runDelete(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

}  // namespace orv
