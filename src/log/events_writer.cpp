#include "log/events_writer.h"

#include <chrono>
#include <optional>
#include <cstdio>
#include <random>

#include <nlohmann/json.hpp>

#include "engine/directive.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/os_error_line.h"
#include "engine/params.h"
#include "engine/text_util.h"
#include "platform/outfile.h"
#include "platform/system.h"
#include "platform/system_facts.h"

namespace orv {

using nlohmann::json;

// An element being walked: when it started and what went wrong inside it.
struct EventsWriter::Open {
  const DirectiveNode* node;
  int64_t startMs;
  sys::OsError before;  // the thread's recorded failure when the element started
  sys::OsError error;   // a failure explained in the log while it was innermost
  std::optional<std::string> decided;  // an ACTION's own name, once decided
};

// One decided action, for the summary.
struct EventsWriter::ActionRun {
  std::string name;
  int64_t decision = 0;
  std::string outcome;  // "completed", "failed", "skipped"; empty while it runs
};

namespace {

// UTC time with milliseconds, "2026-12-10T04:30:00.123Z".
std::string utcNow() {
  using namespace std::chrono;
  auto now = system_clock::now();
  auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
  int64_t days = ms / 86400000, rest = ms % 86400000;
  // Civil date from the day count (proleptic Gregorian calendar).
  int64_t z = days + 719468, era = z / 146097, doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
  int64_t day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
  int64_t year = yoe + era * 400 + (month <= 2);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", static_cast<int>(year),
                static_cast<int>(month), static_cast<int>(day), static_cast<int>(rest / 3600000),
                static_cast<int>(rest / 60000 % 60), static_cast<int>(rest / 1000 % 60),
                static_cast<int>(rest % 1000));
  return text;
}

std::string newRunId() {
  std::random_device source;
  uint64_t value = (uint64_t{source()} << 32) ^ source();
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

bool sameError(const sys::OsError& a, const sys::OsError& b) {
  return a.call == b.call && a.code == b.code && a.path == b.path;
}

json errorObject(const sys::OsError& e) {
  return {{"call", e.call}, {"code", e.code}, {"message", e.message}, {"path", e.path}};
}

// The node's attributes as the run log shows them (a password masked).
json attributesOf(const DirectiveNode& node) {
  json out = json::object();
  for (const auto& [name, value] : node.attributes) {
    std::string key = toLower(name);
    out[key] = shownAttributeValue(key, std::string(value));
  }
  return out;
}

// The writer the process-exit hook finishes.
EventsWriter* active = nullptr;
void finishActive() {
  if (active) active->runEnded();
}

}  // namespace

const char* resultStatus(int64_t result) {
  switch (result) {
    case 1: return "success";
    case -1: return "ignored";
    case 0: return "error";
    case -2: return "not_taken";
    case -3: return "stopped";
    case -4: return "loop_done";
    case -5: return "forced_end";
    default: return "other";
  }
}

EventsWriter::EventsWriter(const Engine& engine, std::unique_ptr<fs::OutputFile> file)
    : engine_(engine), file_(std::move(file)), runId_(newRunId()), startMs_(sys::monotonicMs()) {}

EventsWriter::~EventsWriter() {
  if (active == this) active = nullptr;
}

void EventsWriter::emit(const char* type, json& event) {
  event["event"] = type;
  event["time"] = utcNow();
  event["run"] = runId_;
  event["seq"] = ++seq_;
  // Bytes that are not UTF-8 (a path from the command line) become U+FFFD.
  std::string line = event.dump(-1, ' ', false, json::error_handler_t::replace);
  line += '\n';
  // Written straight to the file, so a collector tailing it sees whole lines.
  if (!file_ || !file_->write(line.data(), line.size())) ++failedWrites_;
}

void EventsWriter::runStarted() {
  json e = {{"file", engine_.run.directiveFile}, {"host", facts::computerName()}};
  emit("run_start", e);
}

void EventsWriter::elementStarted(const DirectiveNode& node) {
  open_.push_back({&node, sys::monotonicMs(), sys::lastOsError(), {}, std::nullopt});
}

void EventsWriter::systemError(const sys::OsError& error) {
  if (!open_.empty() && open_.back().error.call.empty()) open_.back().error = error;
}

void EventsWriter::elementEnded(const DirectiveNode& node, int64_t handled, int64_t passed) {
  if (open_.empty() || open_.back().node != &node) return;  // not seen starting
  Open done = std::move(open_.back());
  open_.pop_back();
  uint32_t line = node.line, column = node.column;
  // An ACTION belongs to itself; the root to no action.
  std::string action = done.decided ? *done.decided : node.depth == 2 ? "" : engine_.action.name;
  json e = {{"tag", firstChars(node.name, 20)},
            {"path", node.path()},
            {"position", engine_.run.directiveFile + ":" + decimal(line) + ":" + decimal(column)},
            {"line", line},
            {"column", column},
            {"action", action},
            {"result", handled},
            {"status", resultStatus(handled)},
            {"passed", passed},
            {"duration_ms", sys::monotonicMs() - done.startMs},
            {"attributes", attributesOf(node)}};
  // A failure the log explained, or one the platform recorded without a line.
  const sys::OsError& now = sys::lastOsError();
  if (!done.error.call.empty())
    e["system_error"] = errorObject(done.error);
  else if (handled == 0 && !now.call.empty() && !sameError(now, done.before))
    e["system_error"] = errorObject(now);
  emit("directive", e);
}

void EventsWriter::actionDecided(const DirectiveNode& node, const ActionDecision& d) {
  const char* status = d.code == 1 ? "run" : d.code == 0 ? "error" : "skipped";
  json e = {{"name", d.name},        {"path", node.path()},  {"line", node.line},
            {"column", node.column}, {"version", d.version}, {"versiondate", d.versionDate},
            {"decision", d.code},    {"status", status},     {"reason", d.reason}};
  emit("action", e);
  if (!open_.empty() && open_.back().node == &node) open_.back().decided = d.name;
  actions_.push_back({d.name, d.code, d.code == 1 ? "" : d.code == 0 ? "failed" : "skipped"});
  if (d.code == 1) openActions_.push_back(actions_.size() - 1);
}

void EventsWriter::actionClosed(int64_t result, bool recorded) {
  if (openActions_.empty()) return;
  ActionRun& run = actions_[openActions_.back()];
  openActions_.pop_back();
  run.outcome = result == 0 ? "failed" : "completed";
  int64_t duration = 0;
  for (auto it = open_.rbegin(); it != open_.rend(); ++it)
    if (it->node->name == "ACTION") {
      duration = sys::monotonicMs() - it->startMs;
      break;
    }
  json e = {{"name", run.name},
            {"result", result},
            {"outcome", run.outcome},
            {"recorded", recorded},
            {"duration_ms", duration}};
  emit("action_end", e);
}

json EventsWriter::summary() const {
  json e = {{"completed", json::array()},
            {"failed", json::array()},
            {"skipped", json::array()},
            {"interrupted", json::array()}};
  for (const ActionRun& run : actions_)
    e[run.outcome.empty() ? "interrupted" : run.outcome].push_back(run.name);
  e["exit_code"] = engine_.run.exitCode;
  return e;
}

void EventsWriter::runEnded() {
  if (ended_) return;
  ended_ = true;
  json end = {{"exit_code", engine_.run.exitCode}, {"duration_ms", sys::monotonicMs() - startMs_}};
  emit("run_end", end);
  json last = summary();
  emit("summary", last);
  if (file_) file_->close();
  file_.reset();
}

bool startEvents(Engine& engine) {
  const std::string& path = engine.run.eventsPath;
  if (path.empty()) return false;
  sys::clearOsError();
  // A switch without its value names no file.
  std::unique_ptr<fs::OutputFile> file = path == kNoValue ? nullptr : fs::createOutputFile(path);
  if (!file) {
    std::string line = path == kNoValue
                           ? "Impossible de créer le fichier d'événements : aucun chemin après /events"
                           : "Impossible de créer le fichier d'événements " + path;
    const sys::OsError& e = sys::lastOsError();
    if (!e.call.empty()) line += " : " + osErrorText(e);
    if (!engine.run.journalPath.empty())
      engine.logStartup(line, "ERR2");
    else
      sys::writeToStandardError(line + "\n");
    return false;
  }
  auto writer = std::make_unique<EventsWriter>(engine, std::move(file));
  active = writer.get();
  sys::atProcessExit(&finishActive);
  writer->runStarted();
  engine.events = std::move(writer);
  return true;
}

}  // namespace orv
