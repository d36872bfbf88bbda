// The operations that end or lock the user's session, behind a seam: the
// product uses the system's calls; tests replace them.
//
// Environment: ORVANTIS_SESSION_DRYRUN set to a non-empty value makes the
// program use a recorder instead, which appends one line per request
// ("reboot", "shutdown", "logoff", "lock") to a file and touches nothing
// else: the file named by the value, or "orvantis-session.log" in the current
// folder when the value is "1".
#pragma once
#include <memory>
#include <string>

namespace orv::session {

class SessionOps {
 public:
  virtual ~SessionOps() = default;
  // Restarts the machine, forcing programs to close (returns once requested).
  virtual void reboot() = 0;
  // Powers the machine off, forcing programs to close.
  virtual void shutdown() = 0;
  // Ends the user's session, forcing programs to close.
  virtual void logoff() = 0;
  // Locks the workstation.
  virtual void lock() = 0;
};

// The system's own calls.
std::unique_ptr<SessionOps> makeSystemSessionOps();
// A recorder that appends the name of each request to the file at path.
std::unique_ptr<SessionOps> makeRecordingSessionOps(const std::string& path);

// The operations in use: the one installed, else the recorder when
// ORVANTIS_SESSION_DRYRUN asks for it, else the system's.
SessionOps& sessionOps();
// Replaces the operations in use (nullptr: back to the default choice).
void installSessionOps(std::unique_ptr<SessionOps> ops);

}  // namespace orv::session
