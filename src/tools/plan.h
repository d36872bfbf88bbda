// /plan: which actions a run would start now, and why, from the actions base
// and the clock, without running or writing anything.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/document.h"
#include "engine/engine.h"

namespace orv::tools {

struct PlannedAction {
  std::string name, path;
  uint64_t line = 0, column = 0;
  std::string verdict;                 // "run", "skip", "disabled", "error" or "unreached"
  std::vector<std::string> reasons;    // French, short
  std::vector<std::string> dependsOn;  // enclosing CHECK, WAIT, FOR or WHILE decided at run time
  std::vector<std::string> log;        // the lines the real decision logged
};

// Decides every ACTION of the document with the real triggers, reading the
// actions base the root names (never creating or locking it).
std::vector<PlannedAction> planActions(Engine& engine, const DirectiveNode& root);
// The plan as text lines ("file:line:column: ACTION name : verdict — reasons").
std::string planText(const std::string& file, const std::vector<PlannedAction>& plan);
// The plan as one JSON document.
std::string planJson(const std::string& file, const std::vector<PlannedAction>& plan);
// The /plan switch ("/plan json" for JSON): 0, 2 (not well-formed) or 3 (no file).
int64_t runPlan(const ParameterMap& params);

}  // namespace orv::tools
