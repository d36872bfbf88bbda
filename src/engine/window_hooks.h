// What the engine asks of the progress window. Until a window exists the
// default hooks do nothing.
#pragma once
#include <string>

namespace orv {

class WindowHooks {
 public:
  virtual ~WindowHooks() = default;
  // True when the action list exists and its display level is "all".
  virtual bool mirrorsLog() const { return false; }
  // Adds (or with replace, rewrites) a line of the action list.
  virtual void addListLine(const std::string& text, int state, int replace) {
    (void)text, (void)state, (void)replace;
  }
  // Shows an action's line in the list with its state.
  virtual void showActionLine(const std::string& name, const std::string& description, int state,
                              int replace) {
    (void)name, (void)description, (void)state, (void)replace;
  }
};

}  // namespace orv
