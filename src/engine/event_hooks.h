// What the engine tells a machine-readable event stream. Until /events opens
// one, the default hooks do nothing.
#pragma once
#include <cstdint>
#include <string>

#include "platform/os_error.h"

namespace orv {

class DirectiveNode;

// An ACTION element's decision, as its handler took it.
struct ActionDecision {
  std::string name;         // the action's name (empty when missing)
  std::string version;      // the version text as written
  std::string versionDate;  // the period text, lower case
  int64_t code = 0;         // 1 runs, -2 switched off or not due, 0 error
  const char* reason = "";  // "due", "not_due", "disabled", "no_name", "no_attributes"
};

class EventHooks {
 public:
  virtual ~EventHooks() = default;
  // The walk of an element starts (before its handler).
  virtual void elementStarted(const DirectiveNode& node) { (void)node; }
  // The walk of an element ended: handled is its handler's result (the
  // "Retour de" value), passed the result its parent sees (closing rule applied).
  virtual void elementEnded(const DirectiveNode& node, int64_t handled, int64_t passed) {
    (void)node, (void)handled, (void)passed;
  }
  // An ACTION element decided whether it runs.
  virtual void actionDecided(const DirectiveNode& node, const ActionDecision& decision) {
    (void)node, (void)decision;
  }
  // The action being closed ended its walk with result (0: a directive failed);
  // recorded tells whether it went to the actions base.
  virtual void actionClosed(int64_t result, bool recorded) { (void)result, (void)recorded; }
  // A failed platform call was explained in the run log.
  virtual void systemError(const sys::OsError& error) { (void)error; }
};

}  // namespace orv
