// The engine's window hooks once a WINDOW directive ran: the settings it
// stored, the list's last-line memory and the display-level filter.
#pragma once
#include <memory>
#include <string>

#include "engine/window_hooks.h"
#include "ui/progress_window.h"
#include "ui/window_settings.h"

namespace orv::ui {

class ActionList : public WindowHooks {
 public:
  explicit ActionList(std::unique_ptr<ProgressWindow> window) : window_(std::move(window)) {}

  bool mirrorsLog() const override;
  void addListLine(const std::string& text, int state, int replace) override;
  void showActionLine(const std::string& name, const std::string& description, int state,
                      int replace) override;

  WindowSettings settings;  // rewritten by every WINDOW directive
  ProgressWindow& window() { return *window_; }

 private:
  std::unique_ptr<ProgressWindow> window_;
  std::string lastText_;  // text of the last line added
};

// "hh:ii:ss" of the current local time.
std::string listTime();

}  // namespace orv::ui
