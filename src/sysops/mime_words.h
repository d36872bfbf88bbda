// Header texts of a mail message: encoded words for non-ASCII text, mailboxes,
// attachment names, base64.
#pragma once
#include <string>

namespace orv {

// True when every byte of text is 7-bit ASCII.
bool isAscii(const std::string& text);
// Standard base64 (with padding), on one line.
std::string base64(const std::string& bytes);
// A header value: CR and LF become blanks; text with non-ASCII characters
// becomes UTF-8 base64 encoded words of at most 75 characters, folded onto
// continuation lines (RFC 2047); ASCII text is kept as it is.
std::string encodeHeaderText(const std::string& text);
// The address of a mailbox: the text between "<" and ">" when present,
// otherwise the whole text; blanks around it removed.
std::string mailboxAddress(const std::string& mailbox);
// A mailbox for a From header: "Name <address>" with the name encoded (or
// quoted when it holds specials), or the bare address.
std::string encodeMailbox(const std::string& mailbox);
// The Content-Disposition header of an attachment shown under name:
// filename="..." for ASCII names, filename*=UTF-8''... otherwise (RFC 2231).
std::string attachmentDisposition(const std::string& name);
// A Date header value for seconds since 1970 (UTC): "Thu, 10 Dec 2026 01:30:00 +0000".
std::string mailDate(long long seconds);

}  // namespace orv
