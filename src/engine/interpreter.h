// The directive interpreter: walks the document and dispatches each element.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;

// Handler of one tag: the element in, a result code out (after its policy).
using DirectiveHandler = int64_t (*)(Engine&, const DirectiveNode&);

struct DispatchEntry {
  const char* tag;
  DirectiveHandler handler;
  bool logsReturn;  // the interpreter writes "Retour de <tag> : <result>"
};

// Walks node and, depending on its result, its children; returns the result.
int64_t interpretNode(Engine& engine, const DirectiveNode& node);
// The entry for a tag (compared on its first 20 characters), or null.
const DispatchEntry* findHandler(const std::string& tag);

}  // namespace orv
