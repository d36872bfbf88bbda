#include "engine/startup.h"

#include <cstdio>
#include <new>

#include "engine/run_switches.h"
#include "engine/declared_encoding.h"
#include "engine/document.h"
#include "engine/expand.h"
#include "engine/interpreter.h"
#include "engine/params.h"
#include "engine/text_util.h"
#include "platform/dialogs.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/system.h"

namespace orv {

// Room for Engine::maxDepth nested elements and the handlers above them.
static constexpr size_t kInterpreterStack = 512u << 20;

// The reading a byte-order mark chooses; Latin1 without one.
DocumentEncoding encodingOfMark(std::string_view bytes) {
  std::string_view head = bytes.substr(0, 4);
  if (head.substr(0, 2) == "\xFF\xFE") return DocumentEncoding::Utf16;
  if (head.substr(0, 3) == "\xEF\xBB\xBF") return DocumentEncoding::Utf8;
  if (head.substr(0, 2) == "\xFE\xFF") return DocumentEncoding::Automatic;
  if (head == std::string_view("\0\0\xFE\xFF", 4)) return DocumentEncoding::Automatic;
  return DocumentEncoding::Latin1;
}

// Reads the file's first block (and, when its declaration names UTF-8 and
// no mark decides, the rest block by block); None when it cannot be read.
static DocumentEncoding scanFile(const std::string& path, DeclaredUtf8* declared) {
  if (!fs::fileExists(path)) return DocumentEncoding::None;
  DocumentEncoding mark = DocumentEncoding::None;
  DeclaredUtf8Scan scan;
  bool read = fs::readBlocks(path, [&](std::string_view block) {
    if (mark == DocumentEncoding::None) {
      mark = encodingOfMark(block);
      if (mark != DocumentEncoding::Latin1 || !declared) return false;
    }
    return scan.feed(block);
  });
  if (!read) return DocumentEncoding::None;
  if (mark == DocumentEncoding::None) mark = DocumentEncoding::Latin1;  // an empty file
  if (declared) *declared = scan.result();
  return mark;
}

DocumentEncoding detectEncoding(const std::string& path) { return scanFile(path, nullptr); }

// Without a mark or switch: a declaration naming UTF-8 is believed when the
// bytes are UTF-8 indeed; otherwise the file is read as ISO-8859-1.
static void detectFileEncoding(Engine& engine) {
  DeclaredUtf8 declared = DeclaredUtf8::No;
  engine.run.documentEncoding = scanFile(engine.run.directiveFile, &declared);
  if (engine.run.documentEncoding != DocumentEncoding::Latin1) return;
  if (declared == DeclaredUtf8::Valid) {
    engine.run.documentEncoding = DocumentEncoding::Utf8;
    engine.logStartup("Le fichier sera ouvert en mode UTF-8.", "NIV2");
  } else if (declared == DeclaredUtf8::Invalid) {
    engine.logStartup(
        "Le fichier déclare l'encodage UTF-8 mais son contenu n'est pas en UTF-8 : "
        "il sera lu en ISO-8859-1.",
        "ATT2");
  }
}

static std::string param(const Engine& engine, const std::string& name, bool& present) {
  auto it = engine.params.find(name);
  present = it != engine.params.end();
  return present ? it->second : std::string();
}

// Step 2: the switches f, j, s, t and m.
static void readSwitches(Engine& engine) {
  bool present = false;
  std::string f = param(engine, "f", present);
  if (present) engine.run.directiveFile = firstChars(expandText(f, "#,%"), 255);
  std::string j = param(engine, "j", present);
  if (present) {
    engine.run.journalPath = fs::absolutePath(firstChars(expandText(j, "#,%"), 512));
    std::string folder = fs::folderPart(engine.run.journalPath);
    if (!folder.empty()) fs::fileOps().createDirectories(folder);
  }
  param(engine, "s", present);
  engine.run.silent = present;
  std::string t = param(engine, "t", present);
  if (present) engine.run.encodingChoice = firstChars(t, 255);
  std::string events = param(engine, "events", present);
  if (present)
    engine.run.eventsPath =
        events == kNoValue ? kNoValue : fs::absolutePath(firstChars(expandText(events, "#,%"), 1024));
  std::string m = param(engine, "m", present);
  if (present && loadSwitchMemos(engine, m) != 1) engine.run.exitCode = -990;
}

static void chooseFile(Engine& engine) {
  if (!engine.run.directiveFile.empty()) return;
  if (engine.run.silent) {
    engine.logStartup("Il n'y a pas de fichier de directive spécifié.", "ERR1");
    engine.run.exitCode |= -1000;
    return;
  }
  engine.logStartup("Sélection du fichier à démarrer par l'utilisateur.", "NIV2");
  engine.run.directiveFile =
      firstChars(dialogs::openFile(engine.run.title + " - Ouvrir un fichier de directive",
                                   "XML (*.xml)|*.xml|Tout fichier|*.*"),
                 255);
}

static void chooseEncoding(Engine& engine) {
  std::string choice = toLower(engine.run.encodingChoice);
  if (choice == "ascii") {
    engine.run.documentEncoding = DocumentEncoding::Latin1;
    engine.logStartup("Le fichier sera ouvert en mode Assci.", "NIV2");
  } else if (choice == "utf8") {
    engine.run.documentEncoding = DocumentEncoding::Utf8;
    engine.logStartup("Le fichier sera ouvert en mode UTF-8.", "NIV2");
  } else if (choice == "unicode") {
    engine.run.documentEncoding = DocumentEncoding::Utf16;
    engine.logStartup("Le fichier sera ouvert en mode Unicode.", "NIV2");
  } else {
    detectFileEncoding(engine);
  }
}

void reportOutOfMemory(Engine& engine) {
  const char* message = "Mémoire insuffisante : le traitement est arrêté.";
  engine.log(message, "ERR+1");
  engine.logStartup(message, "ERR1");
  engine.run.exitCode |= -994;
}

// The interpreter on the root; running out of memory ends the run with a log line.
static void interpretRoot(Engine& engine, const DirectiveNode& root) {
  try {
    interpretNode(engine, root);
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(engine);
  }
}

static void runDocument(Engine& engine) {
  std::unique_ptr<ParsedDocument> document;
  if (DirectiveNode* root = loadDirectiveDocument(engine, document)) {
    bool started = sys::runOnThread([&] { interpretRoot(engine, *root); }, kInterpreterStack);
    if (!started) interpretRoot(engine, *root);
    engine.logStartup("Traitement du fichier terminé.", "NIV2");
  }
  engine.log("FIN -- Fin des actions.", "NIV0");
  engine.logStartup("FIN -- Fin des actions.", "NIV1");
  // The document lives until the process ends; free nothing on the way out.
  document.release();
}

void finishRun(Engine& engine) {
  engine.logStartup("Code retour : " + decimal(engine.run.exitCode) + "\r\n", "NIV0");
  int64_t wait = engine.switches.waitAtCloseMs;
  if (wait > 0) {
    engine.logStartup("Attente de fermeture de " + decimal(wait / 1000) + "secondes.", "NIV0");
    sys::sleepMs(wait);
  }
}

int64_t runProgram(Engine& engine, const std::vector<std::string>& args) {
  parseCommandLine(args, engine.params);
  readSwitches(engine);
  engine.logStartup(std::string(75, '-'), "NIV0");
  engine.logStartup("Démarrage de " + engine.run.title, "NIV0");
  applyStartupSwitches(engine);
  chooseFile(engine);
  chooseEncoding(engine);
  startEventStream(engine);
  if (engine.run.exitCode == 0) {
    if (!fs::fileExists(engine.run.directiveFile)) {
      engine.logStartup("Impossible de localiser le fichier " + engine.run.directiveFile, "ERR1");
      engine.run.exitCode |= -998;
      if (!engine.run.silent && !engine.run.directiveFile.empty())
        dialogs::showError(engine.run.title,
                           "Impossible de localiser le fichier : " + engine.run.directiveFile);
    } else {
      runDocument(engine);
    }
  }
  finishRun(engine);
  return engine.run.exitCode;
}

}  // namespace orv
