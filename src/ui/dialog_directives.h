// The dialog directives: MSGBOX, INPUTBOX, PATHBOX and FILEBOX ask the person
// at the machine and keep the answer under a name in the dialog answers store.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// MSGBOX body: shows the box, stores the answer code (kind 3); 1.
int64_t runMsgbox(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);
// INPUTBOX handler: stores the entered text (kind 2); 0 without a name.
int64_t runInputboxDirective(Engine& engine, const DirectiveNode& node);
// PATHBOX handler: stores the chosen folder without trailing separators (kind 5); 0 without a name.
int64_t runPathboxDirective(Engine& engine, const DirectiveNode& node);
// FILEBOX handler: stores the chosen file's path (kind 4); 0 without a name.
int64_t runFileboxDirective(Engine& engine, const DirectiveNode& node);

// The message box style of a type and an icon type (both already lower-cased).
unsigned messageBoxStyle(const std::string& type, const std::string& iconType);
// A folder path without its trailing "/" characters, then its trailing "\" characters.
std::string withoutTrailingSeparators(std::string path);

}  // namespace orv
