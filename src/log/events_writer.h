// Machine-readable events of a run: one JSON object per line (JSON Lines)
// beside the French run log, for log collectors.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "engine/event_hooks.h"

namespace orv {

struct Engine;
namespace fs {
class OutputFile;
}

class EventsWriter : public EventHooks {
 public:
  // Writes to file for the run of engine (whose exit code the end events report).
  EventsWriter(const Engine& engine, std::unique_ptr<fs::OutputFile> file);
  ~EventsWriter() override;

  // The first event: the directive file and the machine.
  void runStarted();
  // The last two events, once: run_end (exit code, duration) and the summary.
  void runEnded();

  void elementStarted(const DirectiveNode& node) override;
  void elementEnded(const DirectiveNode& node, int64_t handled, int64_t passed) override;
  void actionDecided(const DirectiveNode& node, const ActionDecision& decision) override;
  void actionClosed(int64_t result, bool recorded) override;
  void systemError(const sys::OsError& error) override;

  // Lines that could not be written so far.
  int64_t failedWrites() const { return failedWrites_; }

 private:
  struct Open;
  struct ActionRun;
  // Adds the common fields (event, time, run, seq) and writes one line.
  void emit(const char* type, nlohmann::json& event);
  nlohmann::json summary() const;

  const Engine& engine_;
  std::unique_ptr<fs::OutputFile> file_;
  std::string runId_;
  int64_t startMs_ = 0;
  int64_t seq_ = 0;
  int64_t failedWrites_ = 0;
  bool ended_ = false;
  std::vector<Open> open_;           // elements being walked, innermost last
  std::vector<ActionRun> actions_;   // every action decided, in order
  std::vector<size_t> openActions_;  // indexes in actions_ of the actions being walked
};

// The text a result code stands for in the events ("success", "error"...).
const char* resultStatus(int64_t result);
// Opens engine.run.eventsPath (replacing the file) and installs the writer as
// the engine's event hooks, with run_end and the summary written when the
// process ends. On failure logs why (journal, else standard error) and the
// run goes on without events. True when events are written.
bool startEvents(Engine& engine);

}  // namespace orv
