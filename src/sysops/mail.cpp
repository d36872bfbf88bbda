#include "sysops/mail.h"

#include <ctime>
#include <vector>

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/files.h"
#include "platform/smtp_client.h"
#include "sysops/mime_words.h"
#include "sysops/net_failure.h"

namespace orv {

namespace {

constexpr int64_t kAttachmentLimit = 10000000;

struct MailSettings {
  std::string server, to, cc, bcc, subject, content, sender, attachments;
  int64_t port = 0;
  bool utf8 = false;
};

MailSettings readSettings(Engine& engine, const AttributeMap& attrs) {
  MailSettings s;
  s.server = toLower(expandText(attrs.get("server"), "#,%"));
  s.port = numberValue(attrs.get("smtpport"));
  s.to = toLower(substituteMemos(engine, attrs.get("to")));
  s.cc = toLower(substituteMemos(engine, attrs.get("cc")));
  s.bcc = toLower(substituteMemos(engine, attrs.get("bcc")));
  s.subject = expandAttribute(engine, attrs.get("object"));
  s.content = expandAttribute(engine, attrs.get("content"));
  s.sender = expandAttribute(engine, attrs.get("sendername"));
  s.attachments = expandAttribute(engine, attrs.get("attachement"));
  s.utf8 = toLower(attrs.get("type")) == "utf-8";
  return s;
}

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    out.push_back(text.substr(start, comma - start));
  out.push_back(text.substr(start));
  return out;
}

// An ASCII message is declared so only when its text is ASCII: other text
// is sent as UTF-8 rather than garbled under a wrong label.
std::string charsetOf(const MailSettings& s, const std::string& text) {
  return s.utf8 || !isAscii(text) ? "utf-8" : "us-ascii";
}

// The message with its sender, subject, X-Mailer and date.
net::MailRequest createMessage(const MailSettings& s) {
  net::MailRequest m;
  m.envelopeFrom = mailboxAddress(s.sender);
  m.headers.push_back("From: " + encodeMailbox(s.sender));
  m.headers.push_back("Subject: " + encodeHeaderText(s.subject));
  m.headers.push_back("X-Mailer: Quillmarsh_Orvantis");
  m.headers.push_back("Date: " + mailDate(static_cast<long long>(std::time(nullptr))));
  m.body = {"", "text/plain; charset=" + charsetOf(s, ""), "quoted-printable", {}};
  return m;
}

// Adds the recipients of one kind; true when at least one was added.
bool addRecipients(Engine& engine, net::MailRequest& m, const std::string& list, const char* header,
                   const char* title) {
  if (list.empty()) return false;
  engine.log(title, "+2");
  std::string shown;
  for (const std::string& entry : splitList(list)) {
    if (entry.empty()) continue;
    engine.log("Ajout de " + entry, "+3");
    std::string address = mailboxAddress(entry);
    if (address.empty()) continue;
    m.recipients.push_back(address);
    shown += (shown.empty() ? "" : ", ") + address;
  }
  if (header && !shown.empty()) m.headers.push_back(std::string(header) + ": " + shown);
  return !shown.empty();
}

bool addAllRecipients(Engine& engine, net::MailRequest& m, const MailSettings& s) {
  bool to = addRecipients(engine, m, s.to, "To", "Ajout des destinataires principaux.");
  bool cc = addRecipients(engine, m, s.cc, "Cc", "Ajout des destinataires en copie.");
  // Blind copies go to the envelope only, never into a header.
  bool bcc = addRecipients(engine, m, s.bcc, nullptr, "Ajout des destinataires en copie caché.");
  return to || cc || bcc;
}

void setBody(net::MailRequest& m, const MailSettings& s) {
  std::string text = replaceAll(replaceAll(s.content, "\r\n", "\n"), "\n", "\r\n");
  m.body.data = text;
  m.body.type = "text/plain; charset=" + charsetOf(s, text);
}

// One attachment entry "path|name"; true when the file was attached.
bool addAttachment(Engine& engine, net::MailRequest& m, const std::string& entry) {
  size_t bar = entry.find('|');
  std::string path = expandVariables(entry.substr(0, bar), {});
  std::string name = bar == std::string::npos ? fs::filePart(path) : entry.substr(bar + 1);
  if (!fs::pathExists(path)) {
    engine.log("Impossible de localiser le fichier.", "ERR+3");
    return false;
  }
  if (fs::dirExists(path)) {
    engine.log("Le fichier spécifié est en fait un répertoire !", "ERR+3");
    return false;
  }
  int64_t size = fs::fileSize(path);
  if (size > kAttachmentLimit) {
    engine.log("Erreur dans l'attachement du fichier la taille dépasse celle autorisé : " +
                   decimal(size / 1024 / 1024) + " Mo",
               "ERR+3");
    return false;
  }
  if (size <= 0 || size == kAttachmentLimit) return false;
  engine.log("Ajout du fichier " + name + " : " + path, "+3");
  std::optional<std::string> bytes = fs::readFile(path);
  if (!bytes) {
    engine.log("Impossible d'ajouter le fichier !", "ERR+3");
    return false;
  }
  m.attachments.push_back({*bytes, "application/octet-stream", "base64", {attachmentDisposition(name)}});
  return true;
}

bool addAttachments(Engine& engine, net::MailRequest& m, const MailSettings& s) {
  engine.log("Ajout de fichiers attachés", "+2");
  bool ready = false;
  for (const std::string& entry : splitList(s.attachments))
    if (addAttachment(engine, m, entry)) ready = true;
  return ready;
}

int64_t send(Engine& engine, net::MailRequest& m, const MailSettings& s) {
  m.server = s.server;
  m.port = s.port == 0 ? 25 : s.port;
  std::string where = s.server + ":" + decimal(m.port);
  engine.log("Envois du mail sur le serveur " + where, "+1");
  net::TransferError e = net::sendMail(m);
  if (!e.ok()) {
    engine.log("Echec de l'envoi du mail : " + failureText(e, where), "ERR+2");
    return 0;
  }
  engine.log("Envois effectué.", "+2");
  return 1;
}

}  // namespace

int64_t runMail(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  MailSettings s = readSettings(engine, attrs);
  engine.log(s.utf8 ? "Le format de mail sera UTF8" : "Le format de mail sera Ascii", "+1");
  net::MailRequest m = createMessage(s);
  bool ready = addAllRecipients(engine, m, s);
  if (!s.content.empty() && ready) {
    engine.log("Ajout du contenu.", "+2");
    setBody(m, s);
  }
  if (!s.attachments.empty() && ready) ready = addAttachments(engine, m, s);
  if (!ready) {
    engine.log("Impossible d'envoyer le mail, car une erreur est survenue lors de la préparation du mail.",
               "ERR+1");
    return 0;
  }
  return send(engine, m, s);
}

}  // namespace orv
