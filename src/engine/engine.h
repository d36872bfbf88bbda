// The engine's program-wide state, passed explicitly to every handler.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "engine/memo_store.h"
#include "engine/log_writer.h"
#include "engine/event_hooks.h"
#include "engine/window_hooks.h"

namespace orv {

class DirectiveNode;

// Command-line switches: name (case-sensitive) to value.
using ParameterMap = std::map<std::string, std::string>;

// How the directive file's bytes are read.
enum class DocumentEncoding { None, Latin1, Utf8, Utf16, Automatic };

struct RunState {
  std::string title = "Quillmarsh Orvantis";                   // the program's title (dialogs, window)
  std::string directiveFile;                                   // at most 255 characters
  std::string journalPath;                                     // at most 512 characters
  std::string encodingChoice;                                  // raw value of switch t
  bool silent = false;                                         // switch s: no dialog at start-up
  DocumentEncoding documentEncoding = DocumentEncoding::None;  // how the file's bytes were read
  int64_t exitCode = 0;  // the process exit code, combined by bitwise OR
  std::string eventsPath;  // switch events: the JSON Lines file (empty: none; kNoValue: no path given)
};

// Settings of the root element.
struct RootSettings {
  std::string rootTag;           // at most 255 characters
  std::string registryLocation;  // ends with one backslash, or empty
  std::string actionsFile;       // at most 2048 characters
  std::string description;       // at most 512 characters
  int8_t blockTagErrorCode = 0;  // default directive error policy
  int8_t blockActionCode = 0;    // default action error policy
  int actionsBaseView = 0;       // registry view of the actions base location
  bool readOnlyBase = false;     // records are only read, without the INI file's lock (plan)
};

// Program-wide switches.
struct RunSwitches {
  void* fsRedirectionToken = nullptr;  // token of the disabled file-system redirection
  int registryView = 0;                // 1: registry calls bypass the 32-bit redirection
  bool logComments = false;            // XML comments are copied to the log
  int64_t waitAtCloseMs = 0;           // pause before the process ends
};

// The action being run.
struct ActionContext {
  std::string name;                // at most 255 characters
  std::string description;         // at most 255 characters
  int8_t blockTagErrorCode = 0;    // the action's directive error policy
  int8_t blockActionCode = 0;      // the action's own error policy
  std::string versionDate;         // at most 20 characters, lower case
  int32_t versionNumber = -65535;  // -65535: none given
};

// An answer left by a dialog directive.
struct DialogAnswer {
  std::string text;
  uint8_t kind = 0;  // 2 INPUTBOX, 3 MSGBOX, 4 FILEBOX, 5 PATHBOX
};

// Values directives leave for later conditions and expansions.
struct ResultStores {
  std::map<std::string, int64_t> exec;          // EXEC name to exit code
  std::map<std::string, int64_t> lib;           // LIB name to returned value
  std::map<std::string, DialogAnswer> dialogs;  // dialog name to answer
  std::map<std::string, int8_t> actionStates;   // action name to its last result
};

struct Engine;
// A tag declared by a loaded plug-in: called like a directive handler.
using PluginTagCall = std::function<int64_t(Engine&, const DirectiveNode&)>;

struct Engine {
  RunState run;                        // command line, directive file and the exit code being built
  ParameterMap params;                 // the command-line switches, as given
  LogFileConfig runLog;                // the run log (path set by the directive file)
  LogFileConfig journal;               // the start-up journal (fixed settings)
  bool logStopped = false;             // set by LOG mode="stop"
  bool runLogFailureReported = false;  // the run log could not be written (said once per run)
  MemoStore memos;                     // named values of MEMO, the loaders and the engine's own variables
  ResultStores results;                // exit codes, dialog answers and action states left for later
  RootSettings root;                   // the root element's settings (and the settings directive's)
  RunSwitches switches;                // the 64-bit switches and other program-wide choices
  ActionContext action;                // the action being run (empty name outside any action)
  int64_t currentResult = 0;           // result of the element being walked
  int maxDepth = 10000;                // deepest element walked; deeper ones fail
  int64_t expansionOverflows = 0;      // attribute expansions stopped at the hard cap so far
  int64_t execRuns = 0;                // programs EXEC started so far (numbers its "Processus N°" lines)
  std::optional<bool> machine64;  // whether the local machine is 64-bit: asked once, at the first walked node
  std::map<std::string, PluginTagCall> pluginTags;                        // tags declared by loaded plug-ins
  std::unique_ptr<WindowHooks> window = std::make_unique<WindowHooks>();  // the progress window, or none
  std::unique_ptr<EventHooks> events = std::make_unique<EventHooks>();    // the /events stream, or none

  // Logs a message to the run log (and the window's list when it mirrors the log).
  void log(std::string_view message, std::string_view level);
  // Writes a line to the start-up journal (nothing when there is none).
  void logStartup(std::string_view message, std::string_view level);
};

// Milliseconds of a wait of the given seconds; a length too long to compute is
// held at the longest sleep of the platform, with a warning line at level.
int64_t waitMilliseconds(Engine& engine, int64_t seconds, std::string_view level);

}  // namespace orv
