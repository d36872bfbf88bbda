// The CREATE and RENAMEDISK directives.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Handler of CREATE: a folder tree, a text file, or an environment variable.
int64_t runCreate(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);
// Handler of RENAMEDISK: sets a volume label.
int64_t runRenameDisk(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

// The text format a CREATE mode selects: 24 ANSI (ascii), 2 UTF-8 with its
// mark (utf8), 25 UTF-16LE with its mark (unicode), else 0 (ANSI, no mark);
// tested in that order, as substrings of the lower-cased mode.
int createFormat(const std::string& mode);
// The bytes CREATE writes for text in a format: the mark, then the text encoded.
std::string encodeCreateText(const std::string& text, int format);

}  // namespace orv
