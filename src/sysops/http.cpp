#include "sysops/http.h"

#include <algorithm>
#include <optional>

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/digest.h"
#include "platform/files.h"
#include "platform/http_client.h"
#include "sysops/file_helpers.h"
#include "sysops/net_failure.h"

namespace orv {

namespace {

struct HttpRequest {
  std::string url, localFile, target, temporary;
  int64_t attempts = 1;
};

// What the directive keeps of a successful download.
struct DownloadRecord {
  int64_t size = 0, attempt = 0;
  std::string sha256;
};

// Blanks are the one thing libcurl refuses in an address an administrator writes.
std::string normalisedUrl(const std::string& url) { return replaceAll(url, " ", "%20"); }

// host[:port] of an address, without user info.
std::string hostOf(const std::string& url) {
  size_t start = url.find("://");
  start = start == std::string::npos ? 0 : start + 3;
  size_t end = url.find_first_of("/?#", start);
  std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
  size_t at = authority.rfind('@');
  return at == std::string::npos ? authority : authority.substr(at + 1);
}

HttpRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  HttpRequest r;
  r.url = expandAttribute(engine, attrs.get("url"));
  r.localFile = expandAttribute(engine, attrs.get("localfile"));
  // A negative count still makes the one attempt every download has.
  r.attempts = std::max<int64_t>(0, numberValue(attrs.get("retry"))) + 1;
  return r;
}

void logAttemptFailure(Engine& engine, const HttpRequest& r, int64_t attempt, const std::string& why) {
  engine.log(maskUrlPasswords("Echec de la tentative " + decimal(attempt) + " sur " + decimal(r.attempts) +
                              " : " + why),
             "ERR+2");
}

// One attempt: into the temporary file, then over the target only when complete.
bool attemptDownload(Engine& engine, const HttpRequest& r, int64_t attempt, DownloadRecord& record) {
  int64_t bytes = 0;
  net::TransferError e = net::download(normalisedUrl(r.url), r.temporary, bytes);
  if (!e.ok()) {
    fs::removeFile(r.temporary);
    logAttemptFailure(engine, r, attempt, failureText(e, hostOf(r.url)));
    return false;
  }
  std::optional<std::string> digest = fileDigestHex(r.temporary, DigestKind::Sha256);
  if (!fs::replaceFile(r.temporary, r.target)) {
    fs::removeFile(r.temporary);
    logAttemptFailure(engine, r, attempt, "impossible de remplacer le fichier " + r.target);
    return false;
  }
  record = {bytes, attempt, digest.value_or("")};
  return true;
}

int64_t download(Engine& engine, HttpRequest& r) {
  engine.log("Démarrage du téléchargement.", "+1");
  r.target = downloadTarget(r.url, r.localFile);
  if (r.target.empty()) {
    engine.log(maskUrlPasswords("Impossible de déduire le nom du fichier de l'adresse " + r.url), "ERR+2");
    return 0;
  }
  std::string folder = withoutTrailingSeparator(fs::folderPart(r.target));
  if (!folder.empty()) createDirectoryTree(folder);
  r.temporary = r.target + ".orvantis-part";
  DownloadRecord record;
  for (int64_t attempt = 1; attempt <= r.attempts; ++attempt) {
    if (!attemptDownload(engine, r, attempt, record)) continue;
    engine.log("Fichier reçu : " + r.target + " (" + decimal(record.size) + " octets, SHA-256 " +
                   record.sha256 + ")",
               "+2");
    return 1;
  }
  return 0;
}

}  // namespace

std::string downloadTarget(const std::string& url, const std::string& localFile) {
  if (!fs::filePart(localFile).empty()) return localFile;
  std::string path = url.substr(0, url.find_first_of("?#"));
  size_t scheme = path.find("://");
  size_t slash = path.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  if (slash == std::string::npos) return {};
  std::string name = fs::filePart(path.substr(slash));
  return name.empty() ? std::string() : localFile + name;
}

int64_t runHttp(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  HttpRequest r = readRequest(engine, attrs);
  if (r.url.empty()) {
    engine.log("l'Url de téléchargement n'est pas renseigné.", "ERR+1");
    return 0;
  }
  if (r.localFile.empty()) {
    engine.log("le chemin du fichier pour la réception n'est pas renseigné.", "ERR+1");
    return 0;
  }
  return download(engine, r);
}

}  // namespace orv
