#include "platform/smtp_client.h"

#include <cstdlib>

#include "platform/curl_session.h"

namespace orv::net {

namespace {

// The first refusal (a 4xx or 5xx reply) and the command it answered.
struct Trace {
  std::string command, refusedCommand, refusal;
};

std::string lineOf(const char* data, size_t size) {
  std::string line(data, size);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

int traceProtocol(CURL*, curl_infotype type, char* data, size_t size, void* user) {
  auto* trace = static_cast<Trace*>(user);
  if (type == CURLINFO_HEADER_OUT) trace->command = lineOf(data, size);
  if (type != CURLINFO_HEADER_IN || !trace->refusal.empty() || size < 3) return 0;
  if (data[0] == '4' || data[0] == '5') {
    trace->refusal = lineOf(data, size);
    trace->refusedCommand = trace->command;
  }
  return 0;
}

curl_slist* listOf(const std::vector<std::string>& items) {
  curl_slist* list = nullptr;
  for (const std::string& item : items) list = curl_slist_append(list, item.c_str());
  return list;
}

bool addPart(curl_mime* mime, const MailPart& p) {
  curl_mimepart* part = curl_mime_addpart(mime);
  if (!part) return false;
  bool ok = curl_mime_data(part, p.data.data(), p.data.size()) == CURLE_OK &&
            curl_mime_type(part, p.type.c_str()) == CURLE_OK &&
            curl_mime_encoder(part, p.encoding.c_str()) == CURLE_OK;
  if (ok && !p.headers.empty()) ok = curl_mime_headers(part, listOf(p.headers), 1) == CURLE_OK;
  return ok;
}

std::string serverUrl(const MailRequest& mail) {
  bool ipv6 = mail.server.find(':') != std::string::npos && mail.server.front() != '[';
  std::string host = ipv6 ? "[" + mail.server + "]" : mail.server;
  return "smtp://" + host + ":" + std::to_string(mail.port);
}

// A failure whose last server reply is an SMTP refusal (4xx, 5xx) is the server's answer.
TransferError refusalOf(TransferError e, const Trace& trace) {
  if (trace.refusal.empty() || e.failure == Failure::TimedOut) return e;
  e.failure = Failure::Rejected;
  e.status = std::atol(trace.refusal.substr(0, 3).c_str());
  e.command = trace.refusedCommand;
  e.detail = trace.refusal;
  return e;
}

}  // namespace

TransferError sendMail(const MailRequest& mail) {
  CurlSession session;
  if (!session.valid()) return {Failure::Other, 0, 0, "", "libcurl could not be initialised"};
  CURL* curl = session.handle();
  curl_mime* mime = curl_mime_init(curl);
  bool built = mime && addPart(mime, mail.body);
  for (const MailPart& part : mail.attachments) built = built && addPart(mime, part);
  if (!built) {
    curl_mime_free(mime);
    return {Failure::Other, 0, 0, "", "the MIME message could not be built"};
  }
  curl_slist* headers = listOf(mail.headers);
  curl_slist* recipients = listOf(mail.recipients);
  Trace trace;
  session.applyCommonOptions();
  std::string url = serverUrl(mail);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mail.envelopeFrom.c_str());
  curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime);
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, traceProtocol);
  curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &trace);
  CURLcode code = curl_easy_perform(curl);
  TransferError e = code == CURLE_OK ? TransferError{} : refusalOf(session.failureOf(code), trace);
  curl_slist_free_all(recipients);
  curl_slist_free_all(headers);
  curl_mime_free(mime);
  return e;
}

}  // namespace orv::net
