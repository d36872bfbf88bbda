// Local accounts on Linux: the shadow utilities (useradd, userdel, groupadd,
// groupdel, usermod, chpasswd) run without a shell, and the account database
// read with getpwent/getgrent — or, under ORVANTIS_ACCOUNTS_ROOT, from that
// folder's etc/passwd and etc/group with the tools' --prefix.
#include <crypt.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/accounts.h"
#include "platform/system.h"

extern char** environ;

namespace orv::accounts {

namespace {

// Exit statuses of the shadow utilities that the outcome table tells apart.
constexpr int kCantUpdatePasswd = 1;  // useradd/userdel: no right to write the files
constexpr int kNoSuchUser = 6;        // userdel, usermod: the account does not exist
constexpr int kNameInUse = 9;         // useradd, groupadd: the name exists already

std::string accountsRoot() { return sys::getEnv("ORVANTIS_ACCOUNTS_ROOT"); }

// The tool's full path: first on PATH, then in the system folders root's PATH has.
std::string toolPath(const std::string& tool) {
  std::string path = sys::getEnv("PATH") + ":/usr/sbin:/sbin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string candidate = path.substr(start, end - start) + "/" + tool;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return tool;
}

// Runs tool with args (plus --prefix under a test root), feeding input on its
// standard input; its output goes to the null device. The exit status, or -1
// when it could not be started.
int runTool(const std::string& tool, std::vector<std::string> args, const std::string& input = "") {
  std::string root = accountsRoot();
  if (!root.empty()) args.insert(args.begin(), {"--prefix", root});
  std::string program = toolPath(tool);
  std::vector<char*> argv{program.data()};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int in[2];
  if (pipe2(in, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  if (rc == 0 && !input.empty()) {
    ssize_t ignored = write(in[1], input.data(), input.size());
    (void)ignored;  // a tool that ends early reports through its status
  }
  close(in[1]);
  if (rc != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A yescrypt hash of the password, so the clear text never leaves the process.
std::string hashPassword(const std::string& password) {
  char salt[CRYPT_GENSALT_OUTPUT_SIZE];
  if (!crypt_gensalt_rn("$y$", 0, nullptr, 0, salt, sizeof salt)) return {};
  struct crypt_data data;
  std::memset(&data, 0, sizeof data);
  const char* hash = crypt_r(password.c_str(), salt, &data);
  if (!hash || hash[0] == '*') return {};
  return hash;
}

// Sets a password hash: chpasswd reads it on standard input; under a test
// root (chpasswd has no --prefix there) usermod writes that root's shadow file.
bool setPasswordHash(const std::string& name, const std::string& hash) {
  if (!accountsRoot().empty()) return runTool("usermod", {"-p", hash, "--", name}) == 0;
  return runTool("chpasswd", {"-e"}, name + ":" + hash + "\n") == 0;
}

UserOutcome userOutcome(int status, bool adding) {
  if (status == 0) return UserOutcome::Done;
  if (status == kCantUpdatePasswd && geteuid() != 0) return UserOutcome::AccessDenied;
  if (adding && status == kNameInUse) return UserOutcome::Conflict;
  if (!adding && status == kNoSuchUser) return UserOutcome::Conflict;
  return UserOutcome::Failed;
}

// Reads the account files of the test root, or the system's database.
template <typename Entry>
bool readEntries(const char* file, Entry* (*readFile)(FILE*), void (*open)(), Entry* (*next)(),
                 void (*close)(), const std::function<void(const Entry&)>& each) {
  std::string root = accountsRoot();
  if (root.empty()) {
    open();
    while (Entry* e = next()) each(*e);
    close();
    return true;
  }
  FILE* f = std::fopen((root + "/etc/" + file).c_str(), "re");
  if (!f) return false;
  while (Entry* e = readFile(f)) each(*e);
  std::fclose(f);
  return true;
}

bool forEachUser(const std::function<void(const passwd&)>& each) {
  return readEntries<passwd>("passwd", fgetpwent, setpwent, getpwent, endpwent, each);
}

bool forEachGroup(const std::function<void(const group&)>& each) {
  return readEntries<group>("group", fgetgrent, setgrent, getgrent, endgrent, each);
}

class SystemAccountOps : public AccountOps {
 public:
  UserOutcome addUser(const std::string& name, const std::string& password) override {
    std::string hash = hashPassword(password);
    if (hash.empty()) return UserOutcome::BadPassword;
    UserOutcome outcome = userOutcome(runTool("useradd", {"-M", "--", name}), true);
    if (outcome != UserOutcome::Done) return outcome;
    if (setPasswordHash(name, hash)) return UserOutcome::Done;
    // An account without its password is removed rather than left half made.
    runTool("userdel", {"--", name});
    return UserOutcome::Failed;
  }
  UserOutcome deleteUser(const std::string& name) override {
    return userOutcome(runTool("userdel", {"--", name}), false);
  }
  bool listUsers(std::vector<std::string>& names) override {
    return forEachUser([&](const passwd& p) { names.emplace_back(p.pw_name); });
  }
  bool addGroup(const std::string& name) override { return runTool("groupadd", {"--", name}) == 0; }
  bool deleteGroup(const std::string& name) override { return runTool("groupdel", {"--", name}) == 0; }
  bool listGroups(std::vector<std::string>& names) override {
    return forEachGroup([&](const group& g) { names.emplace_back(g.gr_name); });
  }
  bool addMember(const std::string& group, const std::string& account) override {
    return runTool("usermod", {"-a", "-G", group, "--", account}) == 0;
  }
  bool deleteMember(const std::string& group, const std::string& account) override {
    return runTool("usermod", {"-r", "-G", group, "--", account}) == 0;
  }
  bool listMembers(const std::string& groupName, std::vector<std::string>& names) override;
};

// Listed members, then the accounts whose primary group it is (Linux keeps
// those apart; a Windows local group has no such distinction).
bool SystemAccountOps::listMembers(const std::string& groupName, std::vector<std::string>& names) {
  bool found = false;
  gid_t gid = 0;
  bool ok = forEachGroup([&](const group& g) {
    if (found || groupName != g.gr_name) return;
    found = true;
    gid = g.gr_gid;
    for (char** m = g.gr_mem; m && *m; ++m) names.emplace_back(*m);
  });
  if (!ok || !found) return false;
  return forEachUser([&](const passwd& p) {
    if (p.pw_gid == gid) names.emplace_back(p.pw_name);
  });
}

}  // namespace

std::unique_ptr<AccountOps> makeSystemAccountOps() { return std::make_unique<SystemAccountOps>(); }

}  // namespace orv::accounts
