// The directive interpreter: walks the document and dispatches each element.
#pragma once
#include <cstdint>
#include <string>

#include "engine/directive.h"

namespace orv {

struct Engine;
struct ActionContext;
class DirectiveNode;

// Handler of one tag: the element in, a result code out (after its policy).
using DirectiveHandler = int64_t (*)(Engine&, const DirectiveNode&);

// What the interpreter does to an element's result once its outcome is logged.
enum class CloseRule : uint8_t {
  None,       // the result stands
  Action,     // shown, recorded, blockaction step, enclosing context restored
  Condition,  // not taken (-2) becomes 1, a stop request (-3) becomes 0
  Loop,       // success (1) becomes "loop done" (-4)
};

// One row of the dispatch table. Exactly one of handler and body is set.
struct DispatchEntry {
  const char* tag;
  DirectiveHandler handler;  // the whole element, with a frame of its own
  DirectiveBody body;        // run inside the common directive frame
  bool logsReturn;           // the interpreter writes "Retour de <tag> : <result>"
  CloseRule close;
};

// Walks node and, depending on its result, its children; returns the result.
int64_t interpretNode(Engine& engine, const DirectiveNode& node);
// The entry for a tag (compared on its first 20 characters), or null.
const DispatchEntry* findHandler(const std::string& tag);
// Runs an entry's handler, or its body inside the common frame.
int64_t runEntry(Engine& engine, const DispatchEntry& entry, const DirectiveNode& node);

// Defined beside the dispatch table, where the subsystems meet:
// reads the root element's settings; its result is the root's result.
int64_t loadRootElement(Engine& engine, const DirectiveNode& root);
// Closes an ACTION element whose outcome is logged: its line and record, the
// blockaction step, then the enclosing action's context (saved, when there is
// one) restored.
void closeActionElement(Engine& engine, const ActionContext* saved);

}  // namespace orv
