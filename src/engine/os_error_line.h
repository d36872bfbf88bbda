// The added log line that says why a platform call failed.
#pragma once
#include <string>
#include <string_view>

#include "platform/os_error.h"

namespace orv {

struct Engine;

// "Erreur système : CALL a échoué (code N : MESSAGE) — PATH"
std::string osErrorText(const sys::OsError& error);
// Logs the thread's last recorded failure at level (one deeper than the line
// it explains) and forgets it; nothing when no failure was recorded.
void logOsError(Engine& engine, std::string_view level);

}  // namespace orv
