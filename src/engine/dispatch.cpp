// The dispatch table: tag, handler, and whether "Retour de" is logged.
// Tags are tried top to bottom.
#include "actions/action.h"
#include "actions/root_settings.h"
#include "engine/interpreter.h"
#include "flow/memo_directive.h"
#include "flow/pause.h"
#include "log/log_directive.h"
#include "sysops/registry_directive.h"

namespace orv {

static const DispatchEntry kDispatch[] = {
    {"ACTION", runActionElement, true},
    {"REGISTRY", runRegistryDirective, true},
    {"PAUSE", runPause, true},
    {"MEMO", runMemoDirective, false},
    {"LOG", runLogDirective, true},
    {"ORVANTIS", applySettingsDirective, true},
};

const DispatchEntry* findHandler(const std::string& tag) {
  for (const DispatchEntry& entry : kDispatch)
    if (tag == entry.tag) return &entry;
  return nullptr;
}

}  // namespace orv
