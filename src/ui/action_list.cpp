#include "ui/action_list.h"

#include <cstdio>

#include "engine/clock.h"

namespace orv::ui {

std::string listTime() {
  sys::LocalTime t = clock::now();
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

bool ActionList::mirrorsLog() const { return window_->exists() && settings.displaylevel == "all"; }

void ActionList::addListLine(const std::string& text, int state, int replace) {
  bool list = window_->exists();
  if (replace == 1 && list) window_->removeTopLine();
  std::string line = text.empty() ? lastText_ : text;
  if (!text.empty()) lastText_ = text;
  if (!line.empty() && list) window_->insertTopLine(state, listTime(), line);
}

void ActionList::showActionLine(const std::string& name, const std::string& description, int state,
                                int replace) {
  if (!window_->exists() || !levelShows(settings.displaylevel, state)) return;
  if (replace == 0) {
    addListLine(name + " : " + description, state, 0);
    window_->setHeaders(name, description);
  } else {
    addListLine("", state, replace);
  }
}

}  // namespace orv::ui
