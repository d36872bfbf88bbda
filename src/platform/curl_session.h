// libcurl handles shared by the download and mail facilities (platform-internal).
#pragma once
#include <curl/curl.h>

#include "platform/net.h"

namespace orv::net {

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
  CURL* handle_ = nullptr;
  char message_[CURL_ERROR_SIZE] = {};
};

}  // namespace orv::net
