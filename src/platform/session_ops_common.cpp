// The choice of session operations and the dry-run recorder.
#include "platform/files.h"
#include "platform/session_ops.h"
#include "platform/system.h"

namespace orv::session {

namespace {

class RecordingSessionOps : public SessionOps {
 public:
  explicit RecordingSessionOps(std::string path) : path_(std::move(path)) {}
  void reboot() override { record("reboot"); }
  void shutdown() override { record("shutdown"); }
  void logoff() override { record("logoff"); }
  void lock() override { record("lock"); }

 private:
  void record(const char* what) { fs::appendToFile(path_, std::string(what) + "\n"); }
  std::string path_;
};

std::unique_ptr<SessionOps>& installed() {
  static std::unique_ptr<SessionOps> ops;
  return ops;
}

}  // namespace

std::unique_ptr<SessionOps> makeRecordingSessionOps(const std::string& path) {
  return std::make_unique<RecordingSessionOps>(path);
}

SessionOps& sessionOps() {
  std::unique_ptr<SessionOps>& ops = installed();
  if (!ops) {
    std::string dryRun = sys::getEnv("ORVANTIS_SESSION_DRYRUN");
    if (dryRun.empty())
      ops = makeSystemSessionOps();
    else
      ops = makeRecordingSessionOps(dryRun == "1" ? "orvantis-session.log" : dryRun);
  }
  return *ops;
}

void installSessionOps(std::unique_ptr<SessionOps> ops) { installed() = std::move(ops); }

}  // namespace orv::session
