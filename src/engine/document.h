// The parsed directive document and its loader.
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/block_memory.h"

namespace orv {

struct Engine;

enum class NodeKind { Document, Element, Comment, CData, DocType, Instruction };

// One attribute: the name (interned) and the value, both held by the document.
struct Attribute {
  std::string_view first;   // name as written
  std::string_view second;  // value, entities resolved
};

// An element's attributes in document order, stored once in the document.
class AttributeList {
 public:
  AttributeList() = default;
  AttributeList(const Attribute* data, size_t size) : data_(data), size_(size) {}
  const Attribute* begin() const { return data_; }
  const Attribute* end() const { return data_ + size_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const Attribute& operator[](size_t i) const { return data_[i]; }

 private:
  const Attribute* data_ = nullptr;
  size_t size_ = 0;
};

class DirectiveNode {
 public:
  NodeKind kind = NodeKind::Element;
  std::string_view name;                 // element tag as written (interned); empty for other kinds
  std::string text;                      // comment/CDATA content, or an element's own character data
  AttributeList attributes;              // in document order
  std::vector<DirectiveNode*> children;  // in document order
  DirectiveNode* parent = nullptr;
  int depth = 1;                  // number of "/" in the node path plus one (document: 1)
  int ordinal = 1;                // 1-based position among earlier siblings of the same step
  uint64_t id = 0;                // stable identifier for the run
  uint32_t line = 0, column = 0;  // where the element's start tag begins (1-based; 0: unknown)

  bool isElement() const { return kind == NodeKind::Element; }
  // The node's path, such as /ORVANTIS/ACTION[2]/COPY.
  std::string path() const;
};

// Nodes in blocks that never move, so pointers to them stay valid; blocks
// double in size, so a small file costs little and a large one few allocations.
// A node is constructed when it is added, so a block's memory is written once.
class NodeArena {
 public:
  NodeArena() = default;
  NodeArena(const NodeArena&) = delete;
  NodeArena& operator=(const NodeArena&) = delete;
  ~NodeArena() {
    forEach([](DirectiveNode& node) { node.~DirectiveNode(); });  // the blocks go with memory_
  }
  // A new node at the end.
  DirectiveNode& add() {
    if (used_ == capacity_) {
      size_t next = blocks_.empty() ? 16 : std::min<size_t>(capacity_ * 2, kLargestBlock);
      blocks_.reserve(blocks_.size() + 1);
      void* block = memory_.take(next * sizeof(DirectiveNode), alignof(DirectiveNode));
      blocks_.push_back(static_cast<DirectiveNode*>(block));
      capacity_ = next;
      used_ = 0;
    }
    DirectiveNode* node = new (blocks_.back() + used_) DirectiveNode();
    ++used_;
    ++size_;
    return *node;
  }
  size_t size() const { return size_; }
  // Calls f on every node in the order they were added.
  template <typename F>
  void forEach(F f) const {
    size_t left = size_;
    for (size_t b = 0, cap = 16; b < blocks_.size(); ++b, cap = std::min<size_t>(cap * 2, kLargestBlock))
      for (size_t i = 0; i < cap && left > 0; ++i, --left) f(blocks_[b][i]);
  }

 private:
  static constexpr size_t kLargestBlock = 16384;  // nodes
  BlockMemory memory_;
  std::vector<DirectiveNode*> blocks_;
  size_t capacity_ = 0, used_ = 0, size_ = 0;
};

// A parsed document. Nodes live in an arena, so no recursion is needed to free them.
struct ParsedDocument {
  NodeArena nodes;
  std::unordered_set<std::string> names;               // interned tag and attribute names
  BlockMemory storage;                                 // attribute arrays and values, never moved
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
