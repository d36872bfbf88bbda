// The frame every directive handler follows: attributes, error policy, result.
#pragma once
#include <cstdint>
#include <map>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;

// Attribute name (lower case) to raw value.
class AttributeMap {
 public:
  void set(const std::string& name, const std::string& value) { values_[name] = value; }
  // The raw value, or empty text when absent.
  std::string get(const std::string& name) const;
  bool has(const std::string& name) const { return values_.count(name) != 0; }
  size_t size() const { return values_.size(); }

 private:
  std::map<std::string, std::string> values_;
};

// Which keyword table a policy text is read with.
enum class PolicyTable { BlockTagError, BlockTag };

// An attribute's value as logs and mirrors show it (name in lower case): the
// value of "password" is masked, and so is the password of any URL in it.
std::string shownAttributeValue(const std::string& name, const std::string& value);
// Loads an element's attributes (logging each); the number of entries, 0 when none.
size_t loadAttributes(Engine& engine, const DirectiveNode& node, AttributeMap& map);
// True exactly when text, lower-cased, is "true".
bool isTrue(const std::string& text);
// A policy code: a keyword of the table, or the number value cut to 8 bits.
int8_t parsePolicy(const std::string& text, PolicyTable table);
// Applies the error policy (with its inheritance from the action and the root).
int8_t applyErrorPolicy(Engine& engine, int8_t code, int64_t result);

// A directive's own work inside the frame: returns the result before the policy.
using DirectiveBody = int64_t (*)(Engine&, const DirectiveNode&, const AttributeMap&);

// The common frame of a directive: the tag line, the attributes (an element
// without any fails with 0, after the line emptyNotice when one is given, and
// the body is not run), the body, then the blocktagerror policy applied to its result.
int64_t runDirective(Engine& engine, const DirectiveNode& node, const char* tag, DirectiveBody body,
                     const char* emptyNotice = nullptr);
// The warning line of the directives that report an element without attributes.
inline constexpr const char* kNoAttributesNotice = "Erreur au chargement des paramètres de la balise";

}  // namespace orv
