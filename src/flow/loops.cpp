#include "flow/loops.h"

#include "engine/directive.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/interpreter.h"
#include "engine/text_util.h"
#include "flow/memo_loaders.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/utf8.h"

namespace orv {

namespace {

const char kValueLine[] = "_valueline_";
const char kLineNumber[] = "_linenumber_";

void clearLoopVariables(Engine& engine) {
  engine.memos.remove(kLineNumber);
  engine.memos.remove(kValueLine);
}

// What a loop ends with so far: -4 once it ran, 0 after a failed child, -5
// when a child ended the action (that end travels up like in any container).
struct LoopState {
  int64_t result = -4;
  bool stopped = false;
};

// One pass: every element child through the interpreter; a failing child
// skips the rest of the pass.
void runPass(Engine& engine, const DirectiveNode& node, LoopState& state) {
  for (const DirectiveNode* child : node.children) {
    if (!child->isElement()) continue;
    int64_t r = interpretNode(engine, *child);
    if (r == -5) {
      state.result = -5;
      state.stopped = true;
      return;
    }
    if (r == 0) {
      state.result = 0;
      return;
    }
  }
}

void setPassVariables(Engine& engine, const std::string& valueLine, int64_t number) {
  engine.memos.set(kLineNumber, decimal(number), kMemoBuiltin);
  engine.memos.set(kValueLine, valueLine, kMemoBuiltin);
}

int64_t forCount(Engine& engine, const DirectiveNode& node, const std::string& value) {
  engine.log("Comptage de passage", "+1");
  int64_t passes = numberValue(value);
  if (passes <= 0) return 0;
  LoopState state;
  for (int64_t pass = 1; pass <= passes && !state.stopped; ++pass) {
    setPassVariables(engine, decimal(pass), pass);
    runPass(engine, node, state);
  }
  return state.result;
}

int64_t forFileLines(Engine& engine, const DirectiveNode& node, const std::string& location) {
  engine.log("Ouverture du fichier : " + location, "+1");
  std::optional<std::string> bytes = fs::fileExists(location) ? fs::readFile(location) : std::nullopt;
  if (!bytes) {
    engine.log("Impossible d'ouvrir le fichier !", "ERR+1");
    return 0;
  }
  LoopFileLines file = loopFileLines(*bytes);
  if (file.ansi)
    engine.log("Le fichier n'est pas en UTF-8 : lecture dans le jeu de caractères ANSI.", "WRN+2");
  LoopState state;
  for (size_t i = 0; i < file.lines.size() && !state.stopped; ++i) {
    setPassVariables(engine, file.lines[i], static_cast<int64_t>(i + 1));
    runPass(engine, node, state);
  }
  return state.result;
}

int64_t forDirectoryFiles(Engine& engine, const DirectiveNode& node, const std::string& location) {
  engine.log("Traitement des fichiers à l'emplacement : " + location, "+1");
  std::vector<std::string> paths;
  for (const fs::DirEntry& entry : fs::findEntries(location, "*.*").value_or(std::vector<fs::DirEntry>()))
    if (!entry.isDir) paths.push_back(loopFilePath(location, entry.name, fs::separator()));
  if (paths.empty()) {
    engine.log("Pas de fichier à traiter", "ERR+1");
    return 0;
  }
  LoopState state;
  for (size_t i = 0; i < paths.size() && !state.stopped; ++i) {
    setPassVariables(engine, paths[i], static_cast<int64_t>(i + 1));
    runPass(engine, node, state);
  }
  return state.result;
}

int64_t forBody(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs) {
  std::string type = firstChars(toLower(attrs.get("type")), 30);
  if (node.children.empty()) return 0;
  if (type == "count")
    return forCount(engine, node, expandAttribute(engine, attrs.get("value"), {.limit = 500}));
  std::string location = expandAttribute(engine, attrs.get("location"), {.limit = 512});
  if (type == "file" || type == "filetext") return forFileLines(engine, node, location);
  if (type == "filedir") return forDirectoryFiles(engine, node, location);
  engine.log("Type non reconnu", "ERR+0");
  return 0;
}

int64_t whileBody(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs) {
  if (node.children.empty()) return -4;
  std::string type = expandAttribute(engine, attrs.get("type"), {.limit = 30});
  std::string mode = expandAttribute(engine, attrs.get("mode"), {.limit = 30});
  std::string name = firstChars(attrs.get("valuename"), 80);
  std::string value = expandAttribute(engine, attrs.get("value"), {.limit = 500});
  if (mode != "equal" && mode != "dif") {
    // No test could ever stop such a loop.
    engine.log(
        "Mode de boucle non reconnu (equal ou dif attendu) : " + mode + ". La boucle n'est pas exécutée.",
        "ERR+1");
    return 0;
  }
  LoopState state;
  for (int64_t pass = 1; !state.stopped; ++pass) {
    std::string current = expandAttribute(engine, "#" + name + "#", {.limit = 500});
    if (!whileGoesOn(type, mode, current, value)) break;
    engine.memos.set(kValueLine, decimal(pass), kMemoBuiltin);
    runPass(engine, node, state);
  }
  return state.result;
}

// A file that starts with the UTF-16LE mark (Notepad's "Unicode"), as UTF-8.
std::string utf16leToUtf8(const std::string& bytes) {
  std::u16string units;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    units +=
        static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
  return utf16ToUtf8(units);
}

}  // namespace

LoopFileLines loopFileLines(const std::string& bytes) {
  LoopFileLines out;
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
    out.lines = splitTextLines(utf16leToUtf8(bytes));
    return out;
  }
  out.lines = splitTextLines(bytes);
  for (const std::string& line : out.lines)
    if (!isValidUtf8(line)) out.ansi = true;
  if (out.ansi)
    for (std::string& line : out.lines) line = text::ansiToUtf8(line);
  return out;
}

std::string loopFilePath(const std::string& folder, const std::string& name, char separator) {
  size_t end = folder.size();
  while (end > 0 && (folder[end - 1] == '\\' || folder[end - 1] == '/')) --end;
  return folder.substr(0, end) + separator + name;
}

bool whileGoesOn(const std::string& type, const std::string& mode, const std::string& current,
                 const std::string& value) {
  bool same = type == "numeric" ? numberValue(current) == numberValue(value) : current == value;
  if (type == "numeric") return mode == "equal" ? same : mode == "dif" && !same;
  return mode == "equal" ? !same : mode == "dif" && same;
}

int64_t runFor(Engine& engine, const DirectiveNode& node) {
  int64_t result = runDirective(engine, node, "FOR", forBody);
  clearLoopVariables(engine);
  return result;
}

int64_t runWhile(Engine& engine, const DirectiveNode& node) {
  int64_t result = runDirective(engine, node, "WHILE", whileBody);
  clearLoopVariables(engine);
  return result;
}

}  // namespace orv
