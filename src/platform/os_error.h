// What a failed platform call reports: the call, the system's error code, its
// message (FormatMessageW on Windows, strerror elsewhere) and the path.
#pragma once
#include <cstdint>
#include <string>

namespace orv::sys {

struct OsError {
  std::string call;     // the system call that failed ("" when none)
  int64_t code = 0;     // GetLastError() / errno
  std::string message;  // the system's text for code
  std::string path;     // the file or program concerned
};

// The system's message for an error code, without a trailing line end.
std::string systemMessage(int64_t code);
// The error code of the thread's last failed call (GetLastError / errno).
int64_t lastSystemCode();
// Records a failure of call on path; the message is looked up at once.
void recordOsError(const char* call, int64_t code, const std::string& path);
// Records a failure with the thread's last system error code.
void recordLastOsError(const char* call, const std::string& path);
// The last failure recorded on this thread (call empty when none since clearOsError).
const OsError& lastOsError();
// Forgets the recorded failure (before a step whose failure is to be explained).
void clearOsError();

}  // namespace orv::sys
