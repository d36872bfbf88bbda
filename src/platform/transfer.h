// What the transfer facilities (downloads, mail) report, and their time limits.
#pragma once
#include <cstdint>
#include <string>

namespace orv::net {

// Why a transfer failed.
enum class Failure {
  None,
  BadAddress,        // malformed address or a protocol other than http/https
  UnknownHost,       // the name did not resolve
  Refused,           // no connection could be made
  TimedOut,          // no connection in time, or no progress for too long
  HttpStatus,        // the final answer was not 2xx (status holds it)
  Truncated,         // the body ended before its announced length
  Interrupted,       // the connection broke, or the server answered nothing
  Certificate,       // the server's certificate was refused
  Tls,               // the secure connection could not be set up
  TooManyRedirects,  // more than 10 redirects
  Rejected,          // the SMTP server refused a command (command, status, detail)
  LocalFile,         // the local file could not be written
  Other,             // anything else (code and detail say what)
};

struct TransferError {
  Failure failure = Failure::None;
  int code = 0;         // libcurl's result code
  long status = 0;      // HTTP status or SMTP reply code, when known
  std::string command;  // SMTP: the command the server refused
  std::string detail;   // libcurl's message, or the server's reply line
  bool ok() const { return failure == Failure::None; }
};

// Connect time-out, and how long a transfer may go without progress.
struct TimeLimits {
  int64_t connectSeconds = 30;
  int64_t stallSeconds = 60;
};
// The limits in force: 30 s to connect, 60 s without progress (the variable
// ORVANTIS_TEST_STALL_SECONDS shortens the latter for tests).
TimeLimits timeLimits();

}  // namespace orv::net
