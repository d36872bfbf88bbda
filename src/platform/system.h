// Process-wide facts and services: environment, current folder, own path,
// profile folder, time, sleeping, threads, command line, exit.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orv::sys {

// True in the Windows build, for the few tests and messages that differ by platform.
#ifdef _WIN32
inline constexpr bool kWindowsBuild = true;
#else
inline constexpr bool kWindowsBuild = false;
#endif

// A snapshot of the process environment, in the platform's order.
std::vector<std::pair<std::string, std::string>> environment();
// One environment variable; empty when unset.
std::string getEnv(const std::string& name);
// Sets (or with an empty value, keeps empty) an environment variable for this process and its children.
bool setEnv(const std::string& name, const std::string& value);
// How many times setEnv has changed the environment (cached snapshots compare it).
uint64_t environmentChanges();

// The process's current folder as the platform reports it.
std::string currentDir();
// Changes the current folder; true on success.
bool setCurrentDir(const std::string& path);
// Full path of the running executable.
std::string selfPath();
// The current user's profile folder, without trailing separator.
std::string profileDir();

// Local wall-clock time, broken down.
struct LocalTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
// The local date and time now.
LocalTime localNow();
// Sleeps for ms milliseconds (fine timer resolution where the platform needs it).
void sleepMs(int64_t ms);
// The longest wait sleepMs performs: it waits in steps the system can take, so
// every positive millisecond count is a finite wait.
inline constexpr int64_t kLongestSleepMs = INT64_MAX;
// Monotonic milliseconds, for time limits.
int64_t monotonicMs();

// Runs fn on a new thread with a stack of stackBytes and waits for it to end.
// Returns false when the thread could not be created (fn then did not run).
bool runOnThread(const std::function<void()>& fn, size_t stackBytes);

// The process's arguments as UTF-8, without the program name.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Writes text to the standard error (Windows: only when it leads somewhere,
// a console or a redirection; a desktop program started alone has none).
void writeToStandardError(const std::string& text);

// Registers fn to run when the process ends through exitProcess (files and
// stores that must be closed); each function is registered once.
void atProcessExit(void (*fn)());
// Runs the registered functions, last registered first (exitProcess does it).
void runExitHooks();
// Ends the process at once with the given status, after the registered hooks.
[[noreturn]] void exitProcess(int64_t code);

}  // namespace orv::sys
