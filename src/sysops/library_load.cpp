#include "sysops/library_load.h"

#include "engine/engine.h"
#include "engine/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace orv {

void* loadLibraryLogged(Engine& engine, const std::string& location, const LibraryLoadTexts& texts) {
  if (!fs::fileExists(location)) {
    engine.log(texts.notFound, "ERR+2");
    return nullptr;
  }
  std::string absolute = fs::absolutePath(location);
  engine.log(texts.fullPath + absolute, "+2");
  lib::SystemError error;
  void* handle = lib::loadLibrary(absolute, error);
  if (!handle) {
    engine.log(texts.loadFailed, "ERR+2");
    logLibraryError(engine, error, "ERR+3");
  }
  return handle;
}

void logLibraryError(Engine& engine, const lib::SystemError& error, const char* level) {
  engine.log("Erreur système " + error.call + " (" + decimal(error.code) + ") : " + error.message, level);
}

}  // namespace orv
