#include "platform/os_error.h"

namespace orv::sys {

// One record for the program: the main thread and the interpreter thread
// never make platform calls at the same time (one waits for the other). A
// thread_local with a destructor would run at the interpreter thread's exit,
// where the Windows runtime can deadlock.
static OsError lastError;

void recordOsError(const char* call, int64_t code, const std::string& path) {
  lastError = {call, code, systemMessage(code), path};
}

void recordLastOsError(const char* call, const std::string& path) {
  recordOsError(call, lastSystemCode(), path);
}

const OsError& lastOsError() { return lastError; }

void clearOsError() { lastError = {}; }

}  // namespace orv::sys
