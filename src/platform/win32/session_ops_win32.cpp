// Win32 session operations: ExitWindowsEx with the shutdown privilege, LockWorkStation.
#include <windows.h>

#include "platform/session_ops.h"

namespace orv::session {

namespace {

// Enables SeShutdownPrivilege in the process token; outcomes are not examined.
void enableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid))
    AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
  CloseHandle(token);
}

class SystemSessionOps : public SessionOps {
 public:
  void reboot() override {
    enableShutdownPrivilege();
    ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
  }
  void shutdown() override {
    enableShutdownPrivilege();
    ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF | EWX_FORCE, 0);
  }
  void logoff() override {
    enableShutdownPrivilege();
    ExitWindowsEx(EWX_LOGOFF | EWX_FORCE, 0);
  }
  void lock() override { LockWorkStation(); }
};

}  // namespace

std::unique_ptr<SessionOps> makeSystemSessionOps() { return std::make_unique<SystemSessionOps>(); }

}  // namespace orv::session
