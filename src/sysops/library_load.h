// Finding and loading a library file for LIB and PLUGIN, each step logged.
#pragma once
#include <string>

#include "platform/library.h"

namespace orv {

struct Engine;

// The directive's own texts for the steps of a load.
struct LibraryLoadTexts {
  const char* notFound;    // the file does not exist (ERR+2)
  const char* fullPath;    // followed by the absolute path (+2)
  const char* loadFailed;  // the system refused the library (ERR+2)
};

// Checks that location exists, loads it by its absolute path (never searched
// for) and logs each step; null on failure, with the system's error logged.
void* loadLibraryLogged(Engine& engine, const std::string& location, const LibraryLoadTexts& texts);
// The "Erreur système" line of a failed library call.
void logLibraryError(Engine& engine, const lib::SystemError& error, const char* level);

}  // namespace orv
