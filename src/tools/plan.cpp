#include "tools/plan.h"

#include <map>
#include <nlohmann/json.hpp>

#include "actions/action.h"
#include "actions/actions_base.h"
#include "actions/root_settings.h"
#include "engine/clock.h"
#include "engine/period.h"
#include "engine/directive.h"
#include "engine/run_switches.h"
#include "engine/text_util.h"
#include "engine/log_writer.h"
#include "tools/tool_input.h"
#include "tools/validate.h"

namespace orv::tools {

namespace {

const char* kDateMask = "%dd/%mm/%yyyy - %hh:%ii:%ss";

// Collects what the decision logs and the state it shows, instead of a window.
class CapturingHooks : public WindowHooks {
 public:
  bool mirrorsLog() const override { return true; }
  void addListLine(const std::string& text, int, int) override {
    if (!text.empty()) lines.push_back(text);
  }
  std::vector<std::string> lines;
};

std::string attr(const DirectiveNode& node, std::string_view lowerName) {
  for (const Attribute& a : node.attributes)
    if (equalsNoCase(a.first, lowerName)) return std::string(a.second);
  return "";
}

// The stored text as the trigger reads it: the INI file, the registry replacing it.
std::string stored(Engine& engine, const std::string& name, RecordKind kind) {
  std::string text;
  if (!engine.root.actionsFile.empty()) text = readStoredRecord(engine, name, kind, BaseLocation::Ini);
  if (!engine.root.registryLocation.empty()) text = readStoredRecord(engine, name, kind, BaseLocation::Registry);
  return text;
}

std::string versionReason(Engine& engine, const std::string& name, const std::string& version) {
  if (version == "-1" || version == "disabled") return "désactivée par version " + version;
  std::string text = stored(engine, name, RecordKind::Version);
  if (text.empty()) return "aucune version enregistrée";
  int64_t have = numberValue(text), want = numberValue(version);
  if (want == 0) return "version " + version + " : exécutée à chaque fois";
  std::string sign = have < want ? " < " : (have > want ? " > " : " = ");
  return "version enregistrée " + decimal(have) + sign + decimal(want);
}

std::string dateReason(Engine& engine, const std::string& name, const std::string& period) {
  if (period == "-1" || period == "disabled") return "désactivée par versiondate " + period;
  int64_t length = parsePeriod(engine, period);
  int64_t last = numberValue(stored(engine, name, RecordKind::Date));
  if (last == 0 || !clock::dateNumberInRange(last)) return "période " + period + " : jamais exécutée";
  std::string since = formatDate(kDateMask, clock::fromDateNumber(last));
  int64_t next = saturatingAdd(last, length);
  if (next < clock::nowNumber()) return "période " + period + " écoulée depuis " + since;
  std::string reason = "période " + period + " non écoulée depuis " + since;
  if (clock::dateNumberInRange(next))
    reason += " (prochaine exécution " + formatDate(kDateMask, clock::fromDateNumber(next)) + ")";
  return reason;
}

std::vector<std::string> reasonsFor(Engine& engine, const DirectiveNode& node) {
  std::string name = firstChars(attr(node, "name"), 255);
  std::string version = firstChars(attr(node, "version"), 20);
  std::string period = firstChars(toLower(attr(node, "versiondate")), 30);
  if (name.empty()) return {"l'action n'a pas de nom"};
  if (version.empty() && period.empty()) return {"ni version ni versiondate"};
  std::vector<std::string> reasons;
  if (!actionsBaseConfigured(engine)) reasons.push_back("aucune base des actions");
  if (!version.empty()) reasons.push_back(versionReason(engine, name, version));
  if (!period.empty()) reasons.push_back(dateReason(engine, name, period));
  return reasons;
}

const char* verdictOf(int64_t decision, const std::vector<std::string>& log) {
  if (decision == 1) return "run";
  if (decision == 0) return "error";
  for (const std::string& line : log)
    if (line == "Cette action est désactivé.") return "disabled";
  return "skip";
}

class Planner {
 public:
  explicit Planner(Engine& engine) : engine_(engine) {
    auto hooks = std::make_unique<CapturingHooks>();
    hooks_ = hooks.get();
    engine_.window = std::move(hooks);
  }
  std::vector<PlannedAction> run(const DirectiveNode& root);

 private:
  PlannedAction decide(const DirectiveNode& node);
  Engine& engine_;
  CapturingHooks* hooks_;
  std::map<const DirectiveNode*, bool> reached_;  // per ACTION: whether its children would be walked
};

PlannedAction Planner::decide(const DirectiveNode& node) {
  PlannedAction p;
  p.name = firstChars(attr(node, "name"), 255);
  p.path = node.path();
  p.line = node.line;
  p.column = node.column;
  bool reached = true;
  for (const DirectiveNode* up = node.parent; up && up->isElement(); up = up->parent) {
    if (up->name == "CHECK" || up->name == "WAIT" || up->name == "FOR" || up->name == "WHILE")
      p.dependsOn.insert(p.dependsOn.begin(), std::string(up->name) + " " + up->path() + " (ligne " +
                                                   std::to_string(up->line) + ")");
    auto it = reached_.find(up);
    if (it != reached_.end() && !it->second) reached = false;
  }
  hooks_->lines.clear();
  int64_t decision = runActionElement(engine_, node);  // the run's own decision, side effects in memory only
  p.log = hooks_->lines;
  p.verdict = reached ? verdictOf(decision, p.log) : "unreached";
  p.reasons = reasonsFor(engine_, node);
  if (!reached) p.reasons.insert(p.reasons.begin(), "l'action englobante ne s'exécute pas");
  reached_[&node] = reached && decision == 1;
  return p;
}

std::vector<PlannedAction> Planner::run(const DirectiveNode& root) {
  AttributeMap attrs;
  loadAttributes(engine_, root, attrs);
  readActionsBaseLocations(engine_, attrs);
  std::vector<PlannedAction> plan;
  std::vector<const DirectiveNode*> stack{&root};
  while (!stack.empty()) {
    const DirectiveNode* node = stack.back();
    stack.pop_back();
    if (node != &root && node->name == "ACTION") plan.push_back(decide(*node));
    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
      if ((*it)->isElement()) stack.push_back(*it);
  }
  return plan;
}

const char* frenchVerdict(const std::string& verdict) {
  if (verdict == "run") return "s'exécutera";
  if (verdict == "disabled") return "désactivée";
  if (verdict == "error") return "en erreur";
  if (verdict == "unreached") return "non atteinte";
  return "ne s'exécutera pas";
}

}  // namespace

std::vector<PlannedAction> planActions(Engine& engine, const DirectiveNode& root) {
  engine.root.readOnlyBase = true;
  return Planner(engine).run(root);
}

std::string planText(const std::string& file, const std::vector<PlannedAction>& plan) {
  std::string out;
  for (const PlannedAction& p : plan) {
    out += position(file, p.line, p.column) + "ACTION " + p.name + " : " + frenchVerdict(p.verdict);
    for (size_t i = 0; i < p.reasons.size(); ++i) out += (i == 0 ? " — " : " ; ") + p.reasons[i];
    for (const std::string& d : p.dependsOn) out += " ; dépend à l'exécution de " + d;
    out += "\n";
  }
  return out;
}

std::string planJson(const std::string& file, const std::vector<PlannedAction>& plan) {
  nlohmann::ordered_json actions = nlohmann::ordered_json::array();
  for (const PlannedAction& p : plan)
    actions.push_back({{"name", p.name}, {"path", p.path}, {"line", p.line}, {"column", p.column},
                       {"verdict", p.verdict}, {"runs", p.verdict == "run"}, {"reasons", p.reasons},
                       {"dependsOn", p.dependsOn}, {"log", p.log}});
  nlohmann::ordered_json doc = {{"file", file},
                        {"now", formatDate("%yyyy-%mm-%dd %hh:%ii:%ss", clock::now())},
                        {"actions", actions}};
  // Invalid UTF-8 (a Latin-1 name read raw) is replaced, never a reason to fail.
  return doc.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

int64_t runPlan(const ParameterMap& params) {
  std::string file = toolFile(params, "plan");
  std::unique_ptr<ParsedDocument> doc = readDirectiveFile(params, file);
  if (!doc) {
    printReport((file.empty() ? std::string("(aucun fichier)") : file) +
                ": erreur: fichier de directive introuvable ou illisible\n");
    return kToolNoFile;
  }
  if (doc->status != 0 || !doc->root) {
    printReport(formatFinding(file, validateDocument(*doc, {}).front()) + "\n");
    return kToolFindings;
  }
  static Engine engine;  // like the run's: alive until the process ends
  engine.params = params;
  applyStartupSwitches(engine);
  std::vector<PlannedAction> plan = planActions(engine, *doc->root);
  auto it = params.find("plan");
  bool json = it != params.end() && toLower(it->second) == "json";
  printReport(json ? planJson(file, plan) : planText(file, plan));
  return kToolOk;
}

}  // namespace orv::tools
