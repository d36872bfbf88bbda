// No desktop window on this platform: WINDOW create answers without a thread
// and every later window operation takes the "no window" path.
#include "ui/progress_window.h"

namespace orv::ui {

namespace {

class NoWindow : public ProgressWindow {
 public:
  bool start(const WindowSettings&) override { return false; }
  bool started() const override { return false; }
  bool exists() const override { return false; }
  void hide() override {}
  void show() override {}
  void end() override {}
  void removeTopLine() override {}
  void insertTopLine(int, const std::string&, const std::string&) override {}
  void setHeaders(const std::string&, const std::string&) override {}
};

}  // namespace

std::unique_ptr<ProgressWindow> makeProgressWindow() { return std::make_unique<NoWindow>(); }

}  // namespace orv::ui
