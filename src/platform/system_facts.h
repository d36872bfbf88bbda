// Facts about the machine that conditions ask for: accounts and groups, free
// space, the system version and the processor architecture. Nothing is cached.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv::facts {

// The logon name of the current user; empty when it cannot be read.
std::string currentUserName();
// The computer's name; empty when it cannot be read.
std::string computerName();
// The global groups of an account as asked of a server (empty: this machine);
// empty when the account has none or the call fails. Not sorted.
std::vector<std::string> accountGroups(const std::string& server, const std::string& account);

// Bytes available to the calling user on the volume holding path; nullopt on failure.
std::optional<uint64_t> freeBytes(const std::string& path);

// The system's full version (what RtlGetVersion reports).
struct FullVersion {
  uint32_t major = 0, minor = 0;
  uint16_t suiteMask = 0;
  uint8_t productType = 0;  // 1 workstation, anything else a server
};
// The full version; nullopt when the system cannot give one (always outside Windows).
std::optional<FullVersion> fullVersion();

// The version the system reports to programs (what GetVersionEx gives).
struct ReportedVersion {
  uint32_t platformId = 0;  // 1 the Windows 95 family, 2 the NT family
  uint32_t major = 0, minor = 0;
  uint8_t productType = 0;  // 1 workstation
};
// The reported version; nullopt when the call is missing or fails (always outside Windows).
std::optional<ReportedVersion> reportedVersion();

// 1 when the system has a 32-bit system folder beside the native one (a
// 64-bit Windows), 0 when not or when the function is missing, -1 when the
// system library cannot be loaded.
int wow64Flag();

// The native processor architecture code (0 x86, 6 Itanium, 9 AMD64, 12 ARM64,
// 65535 unknown); 0 when it cannot be asked.
int nativeArchitecture();

}  // namespace orv::facts
