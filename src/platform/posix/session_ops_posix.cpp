// POSIX session operations through systemd's tools.
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "platform/session_ops.h"

extern char** environ;

namespace orv::session {

namespace {

// Runs a tool found on PATH and waits for it; its outcome is not examined.
void runTool(std::initializer_list<const char*> words) {
  std::vector<char*> argv;
  for (const char* w : words) argv.push_back(const_cast<char*>(w));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

class SystemSessionOps : public SessionOps {
 public:
  void reboot() override { runTool({"systemctl", "reboot", "--no-wall"}); }
  void shutdown() override { runTool({"systemctl", "poweroff", "--no-wall"}); }
  // The caller's own session: XDG_SESSION_ID, else the name systemd gives it.
  void logoff() override {
    const char* id = std::getenv("XDG_SESSION_ID");
    runTool({"loginctl", "terminate-session", id && *id ? id : "self"});
  }
  void lock() override { runTool({"loginctl", "lock-session"}); }
};

}  // namespace

std::unique_ptr<SessionOps> makeSystemSessionOps() { return std::make_unique<SystemSessionOps>(); }

}  // namespace orv::session
