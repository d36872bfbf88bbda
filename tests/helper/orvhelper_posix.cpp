// The test helper's POSIX steps.
#include <spawn.h>
#include <unistd.h>

#include "helper/orvhelper_platform.h"

extern char** environ;

void spawnSleeper(const char* self, const char* ms) {
  const char* argv[] = {self, "sleep", ms, nullptr};
  pid_t pid;
  posix_spawn(&pid, self, nullptr, nullptr, const_cast<char**>(argv), environ);
}

void putOnClipboard(int) {}
