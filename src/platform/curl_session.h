// libcurl handles shared by the download and mail facilities (platform-internal).
#pragma once
#include <curl/curl.h>

#include "platform/transfer.h"

namespace orv::net {

// The platform's own check of a https server's certificate, run before each
// request: 0 when trusted (or nothing to check), else the system's error code.
// Windows asks crypt32 (system store, server name), because Schannel does not
// check everywhere (Wine); OpenSSL builds rely on libcurl's own check.
long verifyPeer(CURL* curl);

// One easy handle with an error buffer; libcurl is set up once per process.
class CurlSession {
 public:
  CurlSession();
  ~CurlSession();
  CurlSession(const CurlSession&) = delete;
  CurlSession& operator=(const CurlSession&) = delete;

  // False when libcurl could not give a handle.
  bool valid() const { return handle_ != nullptr; }
  CURL* handle() const { return handle_; }
  // Time limits, certificate checks (never disabled) and no signals.
  void applyCommonOptions();
  // The failure that a libcurl result code stands for, with its message.
  TransferError failureOf(CURLcode code) const;

 private:
  static int beforeRequest(void* session, char*, char*, int, int);

  CURL* handle_ = nullptr;
  long peerError_ = 0;  // what verifyPeer answered when it refused
  char message_[CURL_ERROR_SIZE] = {};
};

}  // namespace orv::net
