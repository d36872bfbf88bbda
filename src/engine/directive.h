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

// Loads an element's attributes (logging each); the number of entries, 0 when none.
size_t loadAttributes(Engine& engine, const DirectiveNode& node, AttributeMap& map);
// True exactly when text, lower-cased, is "true".
bool isTrue(const std::string& text);
// A policy code: a keyword of the table, or the number value cut to 8 bits.
int8_t parsePolicy(const std::string& text, PolicyTable table);
// Applies the error policy (with its inheritance from the action and the root).
int8_t applyErrorPolicy(Engine& engine, int8_t code, int64_t result);

// The usual start of a handler: the tag line, the attributes and the policy
// code of blocktagerror. Returns false when no attribute could be loaded.
bool beginDirective(Engine& engine, const DirectiveNode& node, const char* tag,
                    AttributeMap& attrs, int8_t& policy);

}  // namespace orv
