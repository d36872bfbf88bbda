#include "platform/curl_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/system.h"

namespace orv::net {

TimeLimits timeLimits() {
  TimeLimits limits;
  std::string stall = sys::getEnv("ORVANTIS_TEST_STALL_SECONDS");
  if (!stall.empty()) limits.stallSeconds = std::max<int64_t>(1, std::atoll(stall.c_str()));
  return limits;
}

namespace {

bool globalReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK;
  return ready;
}

// Only the OpenSSL build (native) may trust an extra CA file, for the tests'
// own self-signed server; the Windows build trusts the system store alone.
void applyTestAuthority(CURL* curl) {
  std::string file = sys::getEnv("ORVANTIS_TEST_CA_FILE");
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  if (file.empty() || !info->ssl_version || std::strncmp(info->ssl_version, "OpenSSL", 7) != 0) return;
  curl_easy_setopt(curl, CURLOPT_CAINFO, file.c_str());
}

Failure classify(CURLcode code) {
  switch (code) {
    case CURLE_OK: return Failure::None;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT: return Failure::BadAddress;
    case CURLE_COULDNT_RESOLVE_HOST: return Failure::UnknownHost;
    case CURLE_COULDNT_CONNECT: return Failure::Refused;
    case CURLE_OPERATION_TIMEDOUT: return Failure::TimedOut;
    case CURLE_HTTP_RETURNED_ERROR: return Failure::HttpStatus;
    case CURLE_PARTIAL_FILE: return Failure::Truncated;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING: return Failure::Interrupted;
    case CURLE_PEER_FAILED_VERIFICATION: return Failure::Certificate;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE: return Failure::Tls;
    case CURLE_TOO_MANY_REDIRECTS: return Failure::TooManyRedirects;
    case CURLE_WRITE_ERROR: return Failure::LocalFile;
    default: return Failure::Other;
  }
}

}  // namespace

CurlSession::CurlSession() {
  if (globalReady()) handle_ = curl_easy_init();
}

CurlSession::~CurlSession() {
  if (handle_) curl_easy_cleanup(handle_);
}

void CurlSession::applyCommonOptions() {
  TimeLimits limits = timeLimits();
  curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, message_);
  curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.connectSeconds));
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stallSeconds));
  curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYHOST, 2L);
  // Schannel: an unreachable revocation list must not stop an internal server
  // whose certificate is otherwise valid (no effect with OpenSSL).
  curl_easy_setopt(handle_, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
  applyTestAuthority(handle_);
  curl_easy_setopt(handle_, CURLOPT_PREREQFUNCTION, &CurlSession::beforeRequest);
  curl_easy_setopt(handle_, CURLOPT_PREREQDATA, this);
}

int CurlSession::beforeRequest(void* data, char*, char*, int, int) {
  auto* session = static_cast<CurlSession*>(data);
  session->peerError_ = verifyPeer(session->handle_);
  return session->peerError_ == 0 ? CURL_PREREQFUNC_OK : CURL_PREREQFUNC_ABORT;
}

TransferError CurlSession::failureOf(CURLcode code) const {
  TransferError e;
  e.failure = classify(code);
  e.code = static_cast<int>(code);
  e.detail = message_[0] ? std::string(message_) : std::string(curl_easy_strerror(code));
  if (code == CURLE_ABORTED_BY_CALLBACK && peerError_ != 0) {
    char hex[24];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(peerError_));
    e.failure = Failure::Certificate;
    e.detail = std::string("CertVerifyCertificateChainPolicy ") + hex;
  }
  return e;
}

}  // namespace orv::net
