#include "platform/os_error.h"

namespace orv::sys {

static thread_local OsError lastError;

void recordOsError(const char* call, int64_t code, const std::string& path) {
  lastError = {call, code, systemMessage(code), path};
}

void recordLastOsError(const char* call, const std::string& path) {
  recordOsError(call, lastSystemCode(), path);
}

const OsError& lastOsError() { return lastError; }

void clearOsError() { lastError = {}; }

}  // namespace orv::sys
