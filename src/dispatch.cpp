// The dispatch table: one row per tag, tried top to bottom. A row names the
// element's handler (a frame of its own) or the body run inside the common
// directive frame, whether "Retour de" is logged, and what closing the
// element does to its result.
#include "actions/action.h"
#include "actions/root_settings.h"
#include "conditions/check.h"
#include "engine/interpreter.h"
#include "engine/startup.h"
#include "flow/loops.h"
#include "flow/memo_directive.h"
#include "flow/memo_loaders.h"
#include "flow/pause.h"
#include "flow/wait.h"
#include "log/events_writer.h"
#include "log/log_directive.h"
#include "sysops/copy_delete.h"
#include "sysops/create.h"
#include "sysops/exec.h"
#include "sysops/http.h"
#include "sysops/lib.h"
#include "sysops/local_user_group.h"
#include "sysops/mail.h"
#include "sysops/plugin.h"
#include "sysops/registry_directive.h"
#include "sysops/screenshot.h"
#include "sysops/session.h"
#include "sysops/shortcut.h"
#include "ui/dialog_directives.h"
#include "ui/comogui.h"
#include "ui/systray.h"
#include "ui/window_directive.h"

namespace orv {

namespace {

// A row whose handler keeps a frame of its own.
constexpr DispatchEntry own(const char* tag, DirectiveHandler handler, bool logsReturn = true,
                            CloseRule close = CloseRule::None) {
  return {tag, handler, nullptr, logsReturn, close};
}

// A row whose body runs inside the common directive frame.
constexpr DispatchEntry framed(const char* tag, DirectiveBody body, bool logsReturn = true,
                               CloseRule close = CloseRule::None) {
  return {tag, nullptr, body, logsReturn, close};
}

const DispatchEntry kDispatch[] = {
    own("ACTION", runActionElement, true, CloseRule::Action),
    own("CHECK", runCheckDirective, true, CloseRule::Condition),
    framed("COPY", runCopy),
    framed("EXEC", runExec),
    framed("REGISTRY", runRegistryDirective),
    own("LOCALUSERGROUP", runLocalUserGroup),
    framed("RENAMEDISK", runRenameDisk),
    framed("CREATE", runCreate),
    framed("SHORTCUT", runShortcut),
    own("SCREENSHOT", runScreenshot),
    framed("MSGBOX", runMsgbox),
    framed("SESSION", runSession),
    framed("DELETE", runDelete),
    framed("PAUSE", runPause),
    framed("MAIL", runMail),
    own("MEMO", runMemoDirective, false),
    own("INPUTBOX", runInputboxDirective),
    own("PATHBOX", runPathboxDirective),
    own("FILEBOX", runFileboxDirective),
    framed("HTTP", runHttp),
    framed("COMOGUI", runComogui),
    own("WAIT", runWait, true, CloseRule::Condition),
    own("LOG", runLogDirective),
    own("WINDOW", runWindowDirective),
    own("FOR", runFor, false, CloseRule::Loop),
    own("WHILE", runWhile, false),
    framed("ORVANTIS", applySettingsDirective),
    framed("PLUGIN", runPlugin),
    framed("LIB", runLib),
    framed("SYSTRAY", runSystray),
};

}  // namespace

int64_t loadRootElement(Engine& engine, const DirectiveNode& root) { return loadRootSettings(engine, root); }

void closeActionElement(Engine& engine, const ActionContext* saved) { closeAction(engine, saved); }

bool startEventStream(Engine& engine) { return startEvents(engine); }

int loadSwitchMemos(Engine& engine, const std::string& path) { return loadIniIntoMemos(engine, {.path = path}); }

const DispatchEntry* findHandler(const std::string& tag) {
  for (const DispatchEntry& entry : kDispatch)
    if (tag == entry.tag) return &entry;
  return nullptr;
}

}  // namespace orv
