// The engine's program-wide state, passed explicitly to every handler.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "flow/memo_store.h"
#include "log/log_writer.h"
#include "ui/window_hooks.h"

namespace orv {

class DirectiveNode;

// Command-line switches: name (case-sensitive) to value.
using ParameterMap = std::map<std::string, std::string>;

// How the directive file's bytes are read.
enum class DocumentEncoding { None, Latin1, Utf8, Utf16, Automatic };

struct RunState {
  std::string title = "Quillmarsh Orvantis";
  std::string directiveFile;   // at most 255 characters
  std::string journalPath;     // at most 512 characters
  std::string encodingChoice;  // raw value of switch t
  bool silent = false;
  DocumentEncoding documentEncoding = DocumentEncoding::None;
  int64_t exitCode = 0;
};

// Settings of the root element.
struct RootSettings {
  std::string rootTag;           // at most 255 characters
  std::string registryLocation;  // ends with one backslash, or empty
  std::string actionsFile;       // at most 2048 characters
  std::string description;       // at most 512 characters
  int8_t blockTagErrorCode = 0;
  int8_t blockActionCode = 0;
  int actionsBaseView = 0;
};

// Program-wide switches.
struct RunSwitches {
  void* fsRedirectionToken = nullptr;
  int registryView = 0;
  bool logComments = false;
  int64_t waitAtCloseMs = 0;
};

// The action being run.
struct ActionContext {
  std::string name;         // at most 255 characters
  std::string description;  // at most 255 characters
  int8_t blockTagErrorCode = 0;
  int8_t blockActionCode = 0;
  std::string versionDate;  // at most 20 characters, lower case
  int32_t versionNumber = -65535;
};

// An answer left by a dialog directive.
struct DialogAnswer {
  std::string text;
  uint8_t kind = 0;  // 2 INPUTBOX, 3 MSGBOX, 4 FILEBOX, 5 PATHBOX
};

// Values directives leave for later conditions and expansions.
struct ResultStores {
  std::map<std::string, int64_t> exec;
  std::map<std::string, int64_t> lib;
  std::map<std::string, DialogAnswer> dialogs;
  std::map<std::string, int8_t> actionStates;
};

struct Engine;
// A tag declared by a loaded plug-in: called like a directive handler.
using PluginTagCall = std::function<int64_t(Engine&, const DirectiveNode&)>;

struct Engine {
  RunState run;
  ParameterMap params;
  LogFileConfig runLog;     // the run log (path set by the directive file)
  LogFileConfig journal;    // the start-up journal (fixed settings)
  bool logStopped = false;  // set by LOG mode="stop"
  bool runLogFailureReported = false;  // the run log could not be written (said once per run)
  MemoStore memos;
  ResultStores results;
  RootSettings root;
  RunSwitches switches;
  ActionContext action;
  int64_t currentResult = 0;
  int64_t expansionOverflows = 0;  // attribute expansions stopped at the hard cap so far
  int maxDepth = 10000;  // deepest element walked; deeper ones fail
  std::map<std::string, PluginTagCall> pluginTags;
  std::unique_ptr<WindowHooks> window = std::make_unique<WindowHooks>();

  // Logs a message to the run log (and the window's list when it mirrors the log).
  void log(std::string_view message, std::string_view level);
  // Writes a line to the start-up journal (nothing when there is none).
  void logStartup(std::string_view message, std::string_view level);
};

// Milliseconds of a wait of the given seconds; a length too long to compute is
// held at the longest sleep of the platform, with a warning line at level.
int64_t waitMilliseconds(Engine& engine, int64_t seconds, std::string_view level);

}  // namespace orv
