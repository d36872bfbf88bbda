#define SECURITY_WIN32
#include <windows.h>
#include <wincrypt.h>
#include <security.h>
#include <schannel.h>

#include <string>

#include "platform/curl_session.h"
#include "platform/win32/wide.h"

namespace orv::net {

namespace {

// The host name of the address being fetched (after redirects), or empty when it is not https.
std::string httpsHost(CURL* curl) {
  char* url = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &url) != CURLE_OK || !url) return {};
  CURLU* parts = curl_url();
  char *scheme = nullptr, *host = nullptr;
  std::string out;
  if (curl_url_set(parts, CURLUPART_URL, url, 0) == CURLUE_OK &&
      curl_url_get(parts, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      curl_url_get(parts, CURLUPART_HOST, &host, 0) == CURLUE_OK && std::string(scheme) == "https")
    out = host;
  curl_free(scheme);
  curl_free(host);
  curl_url_cleanup(parts);
  if (out.size() > 2 && out.front() == '[') out = out.substr(1, out.size() - 2);
  return out;
}

// The chain of cert against the system store, checked with the SSL policy for host.
long chainError(PCCERT_CONTEXT cert, const std::string& host) {
  CERT_CHAIN_PARA para = {};
  para.cbSize = sizeof para;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (!CertGetCertificateChain(nullptr, cert, nullptr, cert->hCertStore, &para, 0, nullptr, &chain))
    return static_cast<long>(GetLastError());
  std::wstring name = win::widen(host);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA extra = {};
  extra.cbSize = sizeof extra;
  extra.dwAuthType = AUTHTYPE_SERVER;
  extra.pwszServerName = name.data();
  CERT_CHAIN_POLICY_PARA policy = {};
  policy.cbSize = sizeof policy;
  policy.pvExtraPolicyPara = &extra;
  CERT_CHAIN_POLICY_STATUS status = {};
  status.cbSize = sizeof status;
  BOOL done = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status);
  CertFreeCertificateChain(chain);
  if (!done) return static_cast<long>(GetLastError());
  return static_cast<long>(status.dwError);
}

}  // namespace

long verifyPeer(CURL* curl) {
  std::string host = httpsHost(curl);
  if (host.empty()) return 0;
  curl_tlssessioninfo* info = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_TLS_SSL_PTR, &info) != CURLE_OK || !info || !info->internals ||
      info->backend != CURLSSLBACKEND_SCHANNEL)
    return static_cast<long>(SEC_E_INTERNAL_ERROR);
  PCCERT_CONTEXT cert = nullptr;
  SECURITY_STATUS got = QueryContextAttributesW(static_cast<CtxtHandle*>(info->internals),
                                                SECPKG_ATTR_REMOTE_CERT_CONTEXT, &cert);
  if (got != SEC_E_OK || !cert) return static_cast<long>(got != SEC_E_OK ? got : SEC_E_INTERNAL_ERROR);
  long error = chainError(cert, host);
  CertFreeCertificateContext(cert);
  return error;
}

}  // namespace orv::net
