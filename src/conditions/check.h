// The CHECK directive: one condition chosen by its type, then a gate.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

struct Engine;
class DirectiveNode;

// The CHECK element's handler: 1 (children run), -2 (skipped), -3 (the
// enclosing action ends in error) or 0 (error).
int64_t runCheckDirective(Engine& engine, const DirectiveNode& node);
// The gate: the CHECK result for a condition under a blocktag policy code
// (logs the internal error line for an unknown policy code).
int64_t checkGate(Engine& engine, bool condition, int8_t policy);
// Splits text at every ",": the texts before each comma, after one comma is
// appended (so "a,b" gives a and b, "a," gives a and an empty item, "" none).
std::vector<std::string> commaItems(const std::string& text);

}  // namespace orv
