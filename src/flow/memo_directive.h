// The MEMO directive: fills the memo store from a literal, a text file, an
// INI file, the registry, the clipboard or a command-line parameter.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;

// The MEMO handler: 1 on success, 0 on failure, through the policy.
int64_t runMemoDirective(Engine& engine, const DirectiveNode& node);

}  // namespace orv
