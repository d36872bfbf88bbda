#include "engine/os_error_line.h"

#include "engine/engine.h"
#include "engine/text_util.h"

namespace orv {

std::string osErrorText(const sys::OsError& e) {
  std::string text = "Erreur système : " + e.call + " a échoué (code " + decimal(e.code);
  if (!e.message.empty()) text += " : " + e.message;
  text += ")";
  if (!e.path.empty()) text += " — " + e.path;
  return text;
}

void logOsError(Engine& engine, std::string_view level) {
  const sys::OsError& e = sys::lastOsError();
  if (e.call.empty()) return;
  engine.log(osErrorText(e), level);
  engine.events->systemError(e);
  sys::clearOsError();
}

}  // namespace orv
