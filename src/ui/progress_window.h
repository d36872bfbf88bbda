// The progress window as the interpreter thread drives it. The window lives on
// a thread of its own; every call here returns without waiting on that thread
// for long (list and header updates are queued for it).
#pragma once
#include <memory>
#include <string>

#include "ui/window_settings.h"

namespace orv::ui {

class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  // Starts the window thread on a copy of settings and waits until the window
  // exists (at least 500 ms); false when no interactive desktop can show one.
  virtual bool start(const WindowSettings& settings) = 0;
  // True once a window thread was started, even after end.
  virtual bool started() const = 0;
  // True once the window and its list exist (the window identifier is set).
  virtual bool exists() const = 0;
  virtual void hide() = 0;
  virtual void show() = 0;
  // Ends the window thread: the window disappears at once; later calls do nothing.
  virtual void end() = 0;
  // Removes the top line of the list (none when empty).
  virtual void removeTopLine() = 0;
  // Inserts a line at the top: state icon code, time text and text.
  virtual void insertTopLine(int state, const std::string& time, const std::string& text) = 0;
  // Sets the texts of TITRE_ACTION and DESCRIPTION_ACTION.
  virtual void setHeaders(const std::string& title, const std::string& description) = 0;
};

// The platform's window: a real one on a Windows desktop, none elsewhere.
std::unique_ptr<ProgressWindow> makeProgressWindow();

}  // namespace orv::ui
