// POSIX programs: posix_spawn, pipes drained through poll, a pidfd for the end.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/os_error.h"
#include "platform/process.h"

extern char** environ;

namespace orv::proc {

namespace {

int64_t nowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// After the end, pipes are read until they close; one held open by a program's
// own child is given up after this long without data, or this long in all.
constexpr int64_t kIdleGraceMs = 150;
constexpr int64_t kTotalGraceMs = 2000;

int openPidfd(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

std::string native(const std::string& path) {
  std::string out = path;
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

void closeFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

struct ChildProcess::Impl {
  pid_t pid = 0;
  int pidfd = -1;
  int outFd = -1, errFd = -1;
  bool ended = false;
  int status = 0;
  std::string output, errors;

  ~Impl() {
    // A program left running is reaped when it ends, so it leaves no zombie.
    if (!ended && pid > 0 && !reap(WNOHANG)) {
      pid_t p = pid;
      std::thread([p] {
        int st;
        while (waitpid(p, &st, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    }
    closeFd(pidfd);
    closeFd(outFd);
    closeFd(errFd);
  }

  bool reap(int flags) {
    if (ended) return true;
    pid_t r;
    do r = waitpid(pid, &status, flags);
    while (r < 0 && errno == EINTR);
    if (r == pid || (r < 0 && errno == ECHILD)) ended = true;
    return ended;
  }

  // Reads what one pipe has; closes it at its end.
  bool drain(int& fd, std::string& into) {
    char buf[65536];
    ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) {
      into.append(buf, static_cast<size_t>(n));
      return true;
    }
    if (n == 0 || (errno != EINTR && errno != EAGAIN)) closeFd(fd);
    return false;
  }

  // One poll round of at most timeoutMs; true when output arrived.
  bool pump(int timeoutMs) {
    pollfd fds[3];
    int n = 0;
    int outAt = -1, errAt = -1, pidAt = -1;
    if (outFd >= 0) outAt = n, fds[n++] = {outFd, POLLIN, 0};
    if (errFd >= 0) errAt = n, fds[n++] = {errFd, POLLIN, 0};
    if (!ended && pidfd >= 0) pidAt = n, fds[n++] = {pidfd, POLLIN, 0};
    // Without a pidfd the end is noticed by looking often.
    if (!ended && pidfd < 0 && timeoutMs > 20) timeoutMs = 20;
    int r = poll(fds, static_cast<nfds_t>(n), timeoutMs);
    bool data = false;
    if (r > 0) {
      if (outAt >= 0 && fds[outAt].revents) data |= drain(outFd, output);
      if (errAt >= 0 && fds[errAt].revents) data |= drain(errFd, errors);
    }
    if (!ended && (pidfd < 0 || (pidAt >= 0 && fds[pidAt].revents))) reap(WNOHANG);
    return data;
  }

  void collectRest() {
    int64_t start = nowMs(), lastData = start;
    while (outFd >= 0 || errFd >= 0) {
      int64_t now = nowMs();
      if (now - lastData >= kIdleGraceMs || now - start >= kTotalGraceMs) break;
      if (pump(static_cast<int>(kIdleGraceMs - (now - lastData)))) lastData = nowMs();
    }
    closeFd(outFd);
    closeFd(errFd);
  }
};

ChildProcess::ChildProcess(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ChildProcess::~ChildProcess() = default;

int64_t ChildProcess::pid() const { return impl_->pid; }

bool ChildProcess::waitForExit(int64_t limitMs) {
  // A negative limit counts as already reached.
  int64_t deadline = nowMs() + (limitMs > 0 ? limitMs : 0);
  while (!impl_->ended) {
    int timeout = -1;
    if (limitMs != 0) {
      int64_t left = deadline - nowMs();
      if (left <= 0) return false;
      timeout = static_cast<int>(left > 1000000 ? 1000000 : left);
    }
    if (impl_->outFd < 0 && impl_->errFd < 0 && impl_->pidfd < 0 && timeout != 0) {
      // Nothing to poll: sleep in short steps between looks.
      if (timeout < 0 || timeout > 20) timeout = 20;
    }
    impl_->pump(timeout);
  }
  impl_->collectRest();
  return true;
}

void ChildProcess::terminate() {
  if (!impl_->ended) kill(impl_->pid, SIGKILL);
  impl_->reap(0);
  impl_->collectRest();
}

int64_t ChildProcess::exitCode() const {
  int st = impl_->status;
  if (WIFEXITED(st)) return WEXITSTATUS(st);
  if (WIFSIGNALED(st)) return 128 + WTERMSIG(st);
  return 0;
}

const std::string& ChildProcess::output() const { return impl_->output; }
const std::string& ChildProcess::errors() const { return impl_->errors; }
std::string ChildProcess::takeOutput() { return std::move(impl_->output); }

namespace {

// File actions and attributes of the spawn; pipe ends filled in by the caller.
bool prepareActions(posix_spawn_file_actions_t& fa, const StartOptions& o, const int out[2], const int err[2],
                    const std::string& dir) {
  bool ok = posix_spawn_file_actions_init(&fa) == 0;
  if (o.capture || o.discardOutput)
    ok = ok && posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0) == 0;
  if (o.capture) {
    ok = ok && posix_spawn_file_actions_adddup2(&fa, out[1], 1) == 0;
    ok = ok && posix_spawn_file_actions_adddup2(&fa, err[1], 2) == 0;
  } else if (o.discardOutput) {
    ok = ok && posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0) == 0;
    ok = ok && posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0) == 0;
  }
  if (!dir.empty()) ok = ok && posix_spawn_file_actions_addchdir_np(&fa, dir.c_str()) == 0;
  return ok;
}

// A relative program path names a file in our folder, not in the child's.
std::string absoluteProgram(const std::string& program) {
  std::string p = native(program);
  if (!p.empty() && p[0] != '/') {
    char buf[4096];
    if (getcwd(buf, sizeof buf)) p = std::string(buf) + "/" + p;
  }
  return p;
}

// Spawns argv with the file actions; an executable text file without "#!"
// runs under /bin/sh, as a shell (and execvp) would run it.
int spawn(pid_t& pid, std::vector<char*>& argv, const posix_spawn_file_actions_t& fa) {
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  int rc = posix_spawn(&pid, argv[0], &fa, &attr, argv.data(), environ);
  if (rc == ENOEXEC) {
    argv.insert(argv.begin(), const_cast<char*>("/bin/sh"));
    rc = posix_spawn(&pid, "/bin/sh", &fa, &attr, argv.data(), environ);
  }
  posix_spawnattr_destroy(&attr);
  return rc;
}

}  // namespace

std::unique_ptr<ChildProcess> startProcess(const std::string& program, const std::string& parameters,
                                           const std::string& workingDir, const StartOptions& options,
                                           int64_t& error) {
  std::string path = absoluteProgram(program);
  std::vector<std::string> args = splitCommandLine(parameters);
  std::vector<char*> argv{path.data()};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2] = {-1, -1}, err[2] = {-1, -1};
  if (options.capture && (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)) {
    error = errno;
    sys::recordOsError("pipe2", error, path);
    for (int* fd : {&out[0], &out[1], &err[0], &err[1]}) closeFd(*fd);
    return nullptr;
  }
  posix_spawn_file_actions_t fa;
  pid_t pid = 0;
  int rc = prepareActions(fa, options, out, err, native(workingDir)) ? spawn(pid, argv, fa) : ENOMEM;
  posix_spawn_file_actions_destroy(&fa);
  for (int* fd : {&out[1], &err[1]}) closeFd(*fd);
  auto impl = std::make_unique<ChildProcess::Impl>();
  impl->outFd = out[0];
  impl->errFd = err[0];
  error = rc;
  if (rc != 0) {
    sys::recordOsError("posix_spawn", rc, path);
    return nullptr;
  }
  for (int fd : {impl->outFd, impl->errFd})
    if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  impl->pid = pid;
  impl->pidfd = openPidfd(pid);
  return std::make_unique<ChildProcess>(std::move(impl));
}

}  // namespace orv::proc
