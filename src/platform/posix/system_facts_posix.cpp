// Machine facts on POSIX systems. There is no Windows version: the version
// facts are missing; the architecture comes from uname with Windows' codes.
#include <grp.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>

#include "platform/system_facts.h"

namespace orv::facts {

std::string currentUserName() {
  std::vector<char> buf(16384);
  passwd pw{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &pw, buf.data(), buf.size(), &found) != 0 || !found) return {};
  return found->pw_name;
}

std::string computerName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

// The groups of a local (or directory-joined, through NSS) account. Accounts
// named "HOST$" (computer accounts) do not exist here: an empty list.
std::vector<std::string> accountGroups(const std::string&, const std::string& account) {
  std::vector<char> buf(16384);
  passwd pw{};
  passwd* found = nullptr;
  if (getpwnam_r(account.c_str(), &pw, buf.data(), buf.size(), &found) != 0 || !found) return {};
  int count = 64;
  std::vector<gid_t> gids(static_cast<size_t>(count));
  if (getgrouplist(account.c_str(), found->pw_gid, gids.data(), &count) < 0) {
    gids.resize(static_cast<size_t>(count));
    if (getgrouplist(account.c_str(), found->pw_gid, gids.data(), &count) < 0) return {};
  }
  std::vector<std::string> names;
  std::vector<char> gbuf(16384);
  for (int i = 0; i < count; ++i) {
    group gr{};
    group* g = nullptr;
    if (getgrgid_r(gids[static_cast<size_t>(i)], &gr, gbuf.data(), gbuf.size(), &g) == 0 && g)
      names.emplace_back(g->gr_name);
  }
  return names;
}

std::optional<uint64_t> freeBytes(const std::string& path) {
  struct statvfs st {};
  if (path.empty() || statvfs(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
}

std::optional<FullVersion> fullVersion() { return std::nullopt; }
std::optional<ReportedVersion> reportedVersion() { return std::nullopt; }
int wow64Flag() { return 0; }

int nativeArchitecture() {
  utsname u{};
  if (uname(&u) != 0) return 0;
  std::string m = u.machine;
  if (m == "x86_64") return 9;
  if (m == "aarch64" || m == "arm64") return 12;
  if (m == "ia64") return 6;
  if (m.size() == 4 && m[0] == 'i' && m.compare(2, 2, "86") == 0) return 0;
  return 65535;
}

}  // namespace orv::facts
