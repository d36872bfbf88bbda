// The directive language as a table: every tag, its attributes (canonical
// lower-case names), which are required, which take keywords or numbers.
// Read by the validator, the plan and the schema agreement test.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::lang {

// How an attribute's value is read.
enum class ValueKind {
  Text,      // any text (paths, expanded values, names)
  Number,    // the number rule
  Keyword,   // one word of a list (see AttributeRule::keywords)
  Policy,    // blocktagerror/blockaction: inherit, block, ignore or a number
  Blocktag,  // CHECK/WAIT blocktag: pie, block, pne, signalerror or a number
  Version,   // ACTION version: a number, or -1/disabled (exact case)
  Period,    // unit:count entries separated by commas
  VersionPeriod,  // ACTION versiondate: a period, or -1/disabled
};

struct AttributeRule {
  AttributeRule(std::string n, ValueKind k = ValueKind::Text, bool req = false, std::vector<std::string> words = {},
                std::string fb = "", bool exact = false)
      : name(std::move(n)), kind(k), required(req), keywords(std::move(words)), fallback(std::move(fb)),
        exactCase(exact) {}
  std::string name;              // canonical lower-case name; "ptype#" stands for ptype1, ptype2...
  ValueKind kind = ValueKind::Text;
  bool required = false;         // the directive fails without it
  std::vector<std::string> keywords;  // Keyword: the words, canonical spelling
  std::string fallback;          // Keyword: the word any other value acts as; empty when none
  bool exactCase = false;        // Keyword: compared with its case
};

struct TagRule {
  std::string tag;  // upper case, as the file writes it
  bool root = false;  // the settings of the root element (same tag as the directive)
  std::vector<AttributeRule> attributes;
};

// Every tag of the language (the root ORVANTIS first, then the directives).
const std::vector<TagRule>& directiveLanguage();
// The directive of that tag (not the root's settings); null when unknown.
const TagRule* findDirective(std::string_view tag);
// The root element's rules.
const TagRule& rootRule();
// The attribute of a tag by lower-case name (numbered ptypeN/pvalueN included); null when unknown.
const AttributeRule* findAttribute(const TagRule& rule, std::string_view lowerName);
// Edit distance between two texts (insertions, deletions, substitutions, transpositions).
size_t editDistance(std::string_view a, std::string_view b);
// The closest of the candidates within a distance of 2 (empty when none is close).
std::string closest(std::string_view word, const std::vector<std::string>& candidates);
// True when the number rule finds digits in the text (so "0" reads as 0 on purpose).
bool hasNumberDigits(std::string_view text);
// The entries of a period whose unit is unknown ("x:3"), in order.
std::vector<std::string> unknownPeriodUnits(std::string_view period);

}  // namespace orv::lang
