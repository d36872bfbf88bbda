#include "ui/systray.h"

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/os_error_line.h"
#include "engine/text_util.h"
#include "platform/files.h"
#include "platform/image_read.h"
#include "platform/tray.h"

namespace orv {

namespace {

struct SystrayRequest {
  std::string type, name, text, description, title, icon, balloonIcon;
};

// Name to identifier, for the whole run (the interpreter thread alone uses it).
std::map<std::string, int64_t>& table() {
  static auto* icons = new std::map<std::string, int64_t>();
  return *icons;
}

SystrayRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  SystrayRequest r;
  r.type = firstChars(toLower(attrs.get("type")), 20);
  r.name = firstChars(toLower(attrs.get("name")), 30);
  r.text = expandAttribute(engine, attrs.get("text"));
  r.description = expandAttribute(engine, attrs.get("description"), {.limit = 255});
  r.title = firstChars(toLower(expandAttribute(engine, attrs.get("title"))), 256);
  r.icon = expandAttribute(engine, attrs.get("icon"));
  r.balloonIcon = firstChars(expandAttribute(engine, toLower(attrs.get("balloonico"))), 20);
  return r;
}

// A standard icon by its name, a picture file, the application icon when no
// file exists at that path, or nothing when the file does not decode.
tray::IconSource resolveIcon(const std::string& icon) {
  static const std::map<std::string, tray::StockIcon> kNames = {
      {"app", tray::StockIcon::Application},  {"asterisk", tray::StockIcon::Asterisk},
      {"error", tray::StockIcon::Error},      {"warn", tray::StockIcon::Warning},
      {"info", tray::StockIcon::Information}, {"question", tray::StockIcon::Question},
      {"protec", tray::StockIcon::Shield}};
  tray::IconSource source;
  auto it = kNames.find(toLower(icon));
  if (it != kNames.end() || !fs::fileExists(icon)) {
    source.kind = tray::IconSource::Kind::Stock;
    source.stock = it != kNames.end() ? it->second : tray::StockIcon::Application;
  } else if (readPicture(icon, source.picture)) {
    source.kind = tray::IconSource::Kind::Picture;
  }
  return source;
}

int balloonCode(const std::string& name) {
  if (name == "info") return tray::kBalloonInfo;
  if (name == "warn") return tray::kBalloonWarning;
  if (name == "error") return tray::kBalloonError;
  return tray::kBalloonNone;
}

int64_t removeStep(Engine& engine, const std::string& name) {
  auto it = table().find(name);
  if (it == table().end()) {
    engine.log("Le systray n'est pas présent.", "+1");
    return 1;
  }
  engine.log("Le systray nommée " + name + " est déja présent. Suppression de celui-ci.", "+2");
  sys::clearOsError();
  if (!tray::removeIcon(it->second)) {
    engine.log("Impossible de le supprimer.", "ERR+3");
    logOsError(engine, "ERR+4");
    return 0;
  }
  engine.log("OK", "+3");
  table().erase(it);
  return 1;
}

int64_t createStep(Engine& engine, const SystrayRequest& r) {
  engine.log("Création d'un systray.", "+1");
  sys::clearOsError();
  if (!tray::ensureOwner()) {
    engine.log("Impossible d'initiliser le systray.", "ERR+1");
    logOsError(engine, "ERR+2");
    return 0;
  }
  int64_t id = tray::addIcon(resolveIcon(r.icon));
  if (id == 0) {
    engine.log("Impossible d'appliquer l'icône pour le systray.", "ERR+2");
    logOsError(engine, "ERR+3");
    return 0;
  }
  tray::setTooltip(id, r.description);
  table()[r.name] = id;
  return 1;
}

int64_t notifyStep(Engine& engine, const SystrayRequest& r) {
  if (r.title.empty() || r.text.empty()) {
    engine.log("Il faut renseigner un titre et un texte pour executer l'affichage d'un infobulle.", "ERR+1");
    return 0;
  }
  int64_t result = table().count(r.name) ? 1 : createStep(engine, r);
  engine.log("Affichage d'une infobulle.", "+1");
  if (result != 1) return result;
  sys::clearOsError();
  if (!tray::showBalloon(table()[r.name], r.title, r.text, balloonCode(r.balloonIcon))) {
    engine.log("Impossible d'afficher l'infobulle.", "ERR+2");
    logOsError(engine, "ERR+3");
    return 0;
  }
  return 1;
}

}  // namespace

const std::map<std::string, int64_t>& trayIcons() { return table(); }

int64_t runSystray(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  SystrayRequest r = readRequest(engine, attrs);
  if (r.type == "delete") {
    engine.log("Suppression d'un systray.", "+1");
    return removeStep(engine, r.name);
  }
  if (r.type == "notify") return notifyStep(engine, r);
  engine.log("Création d'un systray.", "+1");
  removeStep(engine, r.name);
  return createStep(engine, r);
}

}  // namespace orv
