#include "ui/command_table.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/process.h"

namespace orv::ui {

namespace {

struct CommandTable {
  std::mutex lock;
  std::map<std::string, Command> entries;
};

// Never destroyed: the window thread may still look a command up while the
// process ends.
CommandTable& table() {
  static CommandTable* instance = new CommandTable();
  return *instance;
}

}  // namespace

void setCommand(const std::string& name, Command c) {
  CommandTable& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  t.entries[name] = std::move(c);
}

bool findCommand(const std::string& name, Command& out) {
  CommandTable& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.entries.find(name);
  if (it == t.entries.end()) return false;
  out = it->second;
  return true;
}

bool runCommand(const std::string& name) {
  Command c;
  if (!findCommand(name, c) || c.program.empty()) return false;
  // Outside the lock: a program slow to start must not hold up COMOGUI.
  int64_t error = 0;
  std::unique_ptr<proc::ChildProcess> child =
      proc::startProcess(c.program, c.parameters, c.workingDirectory, proc::StartOptions{}, error);
  return child != nullptr;
}

}  // namespace orv::ui
