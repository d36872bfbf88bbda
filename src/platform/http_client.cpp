#include "platform/http_client.h"

#include "platform/curl_session.h"
#include "platform/outfile.h"

namespace orv::net {

namespace {

struct Sink {
  fs::OutputFile* file = nullptr;
  int64_t bytes = 0;
  bool failed = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  size_t n = size * count;
  if (!sink->file->write(data, n)) {
    sink->failed = true;
    return 0;  // libcurl then stops with CURLE_WRITE_ERROR
  }
  sink->bytes += static_cast<int64_t>(n);
  return n;
}

void setRequest(CURL* curl, const std::string& url, curl_slist* headers, Sink& sink) {
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  // Error pages are never taken for the file: 4xx and 5xx end the transfer.
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
}

// A transfer libcurl ended without error must still end on a 2xx answer
// (a 3xx without a usable Location is not the file) with the announced length.
TransferError checkAnswer(CURL* curl, const Sink& sink) {
  TransferError e;
  long status = 0;
  curl_off_t announced = -1;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
  e.status = status;
  if (status < 200 || status > 299) {
    e.failure = Failure::HttpStatus;
  } else if (announced >= 0 && announced != sink.bytes) {
    e.failure = Failure::Truncated;
  }
  return e;
}

}  // namespace

TransferError download(const std::string& url, const std::string& path, int64_t& bytes) {
  bytes = 0;
  CurlSession session;
  if (!session.valid()) return {Failure::Other, 0, 0, "", "libcurl could not be initialised"};
  std::unique_ptr<fs::OutputFile> file = fs::createOutputFile(path);
  if (!file) return {Failure::LocalFile, 0, 0, "", path};
  Sink sink{file.get()};
  curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");
  headers = curl_slist_append(headers, "Connection: close");
  session.applyCommonOptions();
  setRequest(session.handle(), url, headers, sink);
  CURLcode code = curl_easy_perform(session.handle());
  curl_slist_free_all(headers);
  TransferError e = session.failureOf(code);
  curl_easy_getinfo(session.handle(), CURLINFO_RESPONSE_CODE, &e.status);
  if (e.ok()) e = checkAnswer(session.handle(), sink);
  bool closed = file->close();
  if (e.ok() && !closed) e = {Failure::LocalFile, 0, 0, "", path};
  if (sink.failed) e = {Failure::LocalFile, 0, 0, "", path};
  bytes = sink.bytes;
  return e;
}

}  // namespace orv::net
