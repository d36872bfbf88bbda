// POSIX process-wide services.
#include <limits.h>
#include <malloc.h>
#include <pthread.h>
#include <pwd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/posix/fd_io.h"
#include "platform/system.h"

extern char** environ;

namespace orv::sys {

std::vector<std::pair<std::string, std::string>> environment() {
  std::vector<std::pair<std::string, std::string>> out;
  for (char** e = environ; e && *e; ++e) {
    std::string entry = *e;
    size_t eq = entry.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    out.emplace_back(entry.substr(0, eq), entry.substr(eq + 1));
  }
  return out;
}

std::string getEnv(const std::string& name) {
  const char* v = std::getenv(name.c_str());
  return v ? v : "";
}

static std::atomic<uint64_t> environmentChangeCount{0};

bool setEnv(const std::string& name, const std::string& value) {
  ++environmentChangeCount;
  return setenv(name.c_str(), value.c_str(), 1) == 0;
}

uint64_t environmentChanges() { return environmentChangeCount.load(); }

std::string currentDir() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) ? buf : "";
}

bool setCurrentDir(const std::string& path) {
  std::string p = path;
  for (char& c : p)
    if (c == '\\') c = '/';
  return !p.empty() && chdir(p.c_str()) == 0;
}

std::string selfPath() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  return std::string(buf, static_cast<size_t>(n));
}

std::string profileDir() {
  std::string home = getEnv("HOME");
  if (home.empty()) {
    if (passwd* pw = getpwuid(getuid())) home = pw->pw_dir;
  }
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  return home;
}

LocalTime localNow() {
  time_t t = time(nullptr);
  tm parts{};
  localtime_r(&t, &parts);
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

void sleepMs(int64_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int64_t monotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {
struct ThreadCall {
  const std::function<void()>* fn;
};
void* threadEntry(void* arg) {
  (*static_cast<ThreadCall*>(arg)->fn)();
  return nullptr;
}
}  // namespace

bool runOnThread(const std::function<void()>& fn, size_t stackBytes) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, stackBytes);
  ThreadCall call{&fn};
#ifdef M_ARENA_MAX
  // The caller only waits for the thread: one allocation arena serves both, and
  // the thread's first allocation does not map and fault in an arena of its own.
  mallopt(M_ARENA_MAX, 1);
#endif
  pthread_t thread;
  int rc = pthread_create(&thread, &attr, threadEntry, &call);
  pthread_attr_destroy(&attr);
  if (rc != 0) return false;
  pthread_join(thread, nullptr);
  return true;
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}

void writeToStandardError(const std::string& text) { posix::writeAll(STDERR_FILENO, text); }

void exitProcess(int64_t code) {
  runExitHooks();
  _exit(static_cast<int>(code));
}

}  // namespace orv::sys
