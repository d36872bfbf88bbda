// The dispatch table: tag, handler, and whether "Retour de" is logged.
// Tags are tried top to bottom.
#include "actions/action.h"
#include "actions/root_settings.h"
#include "engine/interpreter.h"
#include "flow/memo_directive.h"
#include "flow/pause.h"
#include "log/log_directive.h"
#include "sysops/copy_delete.h"
#include "sysops/create.h"
#include "sysops/exec.h"
#include "sysops/registry_directive.h"
#include "sysops/session.h"

namespace orv {

static const DispatchEntry kDispatch[] = {
    {"ACTION", runActionElement, true},
    {"COPY", runCopy, true},
    {"EXEC", runExec, true},
    {"REGISTRY", runRegistryDirective, true},
    {"RENAMEDISK", runRenameDisk, true},
    {"CREATE", runCreate, true},
    {"SESSION", runSession, true},
    {"DELETE", runDelete, true},
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
