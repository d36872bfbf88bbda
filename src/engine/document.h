// The parsed directive document and its loader.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orv {

struct Engine;

enum class NodeKind { Document, Element, Comment, CData, DocType, Instruction };

class DirectiveNode {
 public:
  NodeKind kind = NodeKind::Element;
  std::string name;  // element tag as written; empty for other kinds
  std::string text;  // comment/CDATA content, or an element's own character data
  std::vector<std::pair<std::string, std::string>> attributes;  // in document order
  std::vector<DirectiveNode*> children;                         // in document order
  DirectiveNode* parent = nullptr;
  int depth = 1;     // number of "/" in the node path plus one (document: 1)
  int ordinal = 1;   // 1-based position among earlier siblings of the same step
  uint64_t id = 0;   // stable identifier for the run

  bool isElement() const { return kind == NodeKind::Element; }
  // The node's path, such as /ORVANTIS/ACTION[2]/COPY.
  std::string path() const;
};

// A parsed document. Nodes live in an arena, so no recursion is needed to free them.
struct ParsedDocument {
  std::deque<DirectiveNode> nodes;
  DirectiveNode* document = nullptr;
  DirectiveNode* root = nullptr;
  int status = 0;  // parser error code; 0 when well-formed
  uint64_t line = 0, column = 0;
  std::string errorText;  // parser's English text for the status
};

// French description of a parser error code (taken as an unsigned byte).
std::string describeXmlError(int status);
// The parser's English text for a status (empty for 0 and codes it does not know).
std::string parserErrorText(int status);

// Parses bytes as a directive document with an optional forced encoding name
// ("ISO-8859-1", "UTF-8", "UTF-16", or empty to let the document decide).
// Feeds blocks of 16384 bytes. Never fails on memory for well-formed input.
std::unique_ptr<ParsedDocument> parseDocument(const std::string& bytes, const std::string& encoding);

// Loads RunState::directiveFile, logs to the journal, sets the file memos and
// combines exitCode; returns the root element, or null when rejected.
DirectiveNode* loadDirectiveDocument(Engine& engine, std::unique_ptr<ParsedDocument>& holder);

}  // namespace orv
