// The exit hooks shared by both platforms.
#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/system.h"

namespace orv::sys {

namespace {

struct ExitHooks {
  std::mutex mutex;
  std::vector<void (*)()> hooks;
};

ExitHooks& exitHooks() {
  static ExitHooks* hooks = new ExitHooks;  // never destroyed: usable until the very end
  return *hooks;
}

}  // namespace

void atProcessExit(void (*fn)()) {
  ExitHooks& e = exitHooks();
  std::lock_guard<std::mutex> lock(e.mutex);
  if (std::find(e.hooks.begin(), e.hooks.end(), fn) == e.hooks.end()) e.hooks.push_back(fn);
}

void runExitHooks() {
  std::vector<void (*)()> hooks;
  {
    ExitHooks& e = exitHooks();
    std::lock_guard<std::mutex> lock(e.mutex);
    hooks.swap(e.hooks);
  }
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) (*it)();
}

}  // namespace orv::sys
