// Sending one MIME message over SMTP (no authentication) on libcurl.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/transfer.h"

namespace orv::net {

// One part of the message: its content and headers.
struct MailPart {
  std::string data;                  // raw bytes
  std::string type;                  // Content-Type value
  std::string encoding;              // "base64", "quoted-printable", "7bit", ...
  std::vector<std::string> headers;  // further header lines (Content-Disposition, ...)
};

struct MailRequest {
  std::string server;  // host name or address
  int64_t port = 25;
  std::string envelopeFrom;             // MAIL FROM address
  std::vector<std::string> recipients;  // RCPT TO addresses (To, Cc and Bcc)
  std::vector<std::string> headers;     // message header lines, already encoded
  MailPart body;
  std::vector<MailPart> attachments;
};

// Sends the message as multipart/mixed (body first, then the attachments).
// A refused command gives Failure::Rejected with the command and the reply.
TransferError sendMail(const MailRequest& mail);

}  // namespace orv::net
