#include "engine/run_switches.h"

#include "engine/engine.h"
#include "platform/wow64.h"
#include "engine/registry.h"

namespace orv {

static constexpr int kArchitectureAmd64 = 9;

void applyStartupSwitches(Engine& engine) {
  if (wow64::nativeArchitecture() != kArchitectureAmd64) return;
  if (wow64::disableFsRedirection(&engine.switches.fsRedirectionToken) == 0)
    engine.logStartup("Impossible de désactiver la redirection du systèmre de fichier 64bits.", "ATT2");
  else
    engine.logStartup("Désactivation de la redirection du système de fichier 64bits.", "NIV2");
  engine.switches.registryView = 1;
}

void guardFsRedirection(Engine& engine) {
  // The 64-bit test reads the registry; ask it once per run.
  if (!engine.machine64) engine.machine64 = isMachine64Bit(".");
  if (!*engine.machine64) return;
  if (wow64::disableFsRedirection(&engine.switches.fsRedirectionToken) == 0)
    engine.log("Impossible de désactiver la redirection du systèmre de fichier 64bits.", "LVL+0");
}

}  // namespace orv
