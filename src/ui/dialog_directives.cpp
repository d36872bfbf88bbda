#include "ui/dialog_directives.h"

#include "conditions/stored_conditions.h"
#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/ask.h"

namespace orv {

namespace {

constexpr uint8_t kInputAnswer = 2, kMsgboxAnswer = 3, kFileAnswer = 4, kPathAnswer = 5;
constexpr const char* kNobodyToAnswer = "Aucun bureau interactif : la fenêtre n'est pas affichée.";
constexpr const char* kAllFiles = "Tout les fichiers|*.*";

void storeAnswer(Engine& engine, const std::string& name, const std::string& text, uint8_t kind) {
  engine.results.dialogs[name] = DialogAnswer{text, kind};
}

// What one of the three asking dialogs needs; the answer once asked.
struct AskRequest {
  std::string name, title, message, defaultValue, filter;
};

using AskDialog = std::string (*)(const AskRequest&);

std::string askText(const AskRequest& r) { return ask::inputBox(r.title, r.message, r.defaultValue); }
std::string askFolder(const AskRequest& r) {
  return withoutTrailingSeparators(ask::browseFolder(r.title, r.defaultValue));
}
std::string askFile(const AskRequest& r) { return ask::chooseFile(r.title, r.filter, r.defaultValue); }

// The common steps of INPUTBOX, PATHBOX and FILEBOX once the request is read.
int64_t askAndStore(Engine& engine, const AskRequest& request, AskDialog dialog, uint8_t kind) {
  if (request.name.empty()) {
    engine.log("L'option name n'est pas renseigné.", "ERR+1");
    return 0;
  }
  engine.log("Affichage de la fenêtre et attente du retour.", "+1");
  std::string answer;
  if (ask::interactiveDesktop())
    answer = dialog(request);
  else
    engine.log(kNobodyToAnswer, "WRN+2");
  engine.log("Retour utilisateur : " + answer, "+2");
  storeAnswer(engine, request.name, answer, kind);
  return 1;
}

int64_t inputboxBody(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  AskRequest r;
  r.name = firstChars(attrs.get("name"), 255);
  r.title = expandAttribute(engine, attrs.get("title"));
  r.message = expandAttribute(engine, attrs.get("message"));
  r.defaultValue = expandAttribute(engine, attrs.get("defaultvalue"));
  return askAndStore(engine, r, askText, kInputAnswer);
}

int64_t pathboxBody(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  AskRequest r;
  r.name = firstChars(attrs.get("name"), 255);
  r.title = attrs.get("title");
  r.defaultValue = expandAttribute(engine, attrs.get("defaultpath"));
  return askAndStore(engine, r, askFolder, kPathAnswer);
}

int64_t fileboxBody(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  AskRequest r;
  r.name = firstChars(attrs.get("name"), 255);
  r.title = attrs.get("title");
  r.filter = attrs.get("filefilter");
  if (r.filter.empty()) r.filter = kAllFiles;
  r.defaultValue = expandAttribute(engine, attrs.get("defaultfile"));
  return askAndStore(engine, r, askFile, kFileAnswer);
}

}  // namespace

unsigned messageBoxStyle(const std::string& type, const std::string& iconType) {
  unsigned buttons = type == "yesno" ? ask::kYesNo : type == "yesnocancel" ? ask::kYesNoCancel : ask::kOk;
  unsigned icon = iconType == "stop"       ? ask::kIconStop
                  : iconType == "question" ? ask::kIconQuestion
                  : iconType == "warn"     ? ask::kIconWarn
                  : iconType == "notify"   ? ask::kIconNotify
                                           : 0u;
  return buttons | icon;
}

std::string withoutTrailingSeparators(std::string path) {
  while (!path.empty() && path.back() == '/') path.pop_back();
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

int64_t runMsgbox(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  std::string title = expandAttribute(engine, attrs.get("title"));
  std::string name = expandAttribute(engine, attrs.get("name"), {.limit = 255});
  std::string text = expandAttribute(engine, attrs.get("text"));
  unsigned style = messageBoxStyle(toLower(attrs.get("type")), toLower(attrs.get("icontype")));
  engine.log("Affichage d'une boite de message avec le titre " + title, "+1");
  int code = 0;
  if (ask::interactiveDesktop())
    code = ask::messageBox(title, text, style);
  else
    engine.log(kNobodyToAnswer, "WRN+2");
  engine.log("Réponse : " + answerName(code), "+2");
  storeAnswer(engine, name, decimal(code), kMsgboxAnswer);
  return 1;
}

int64_t runInputboxDirective(Engine& engine, const DirectiveNode& node) {
  return runDirective(engine, node, "INPUTBOX", inputboxBody, kNoAttributesNotice);
}

int64_t runPathboxDirective(Engine& engine, const DirectiveNode& node) {
  return runDirective(engine, node, "PATHBOX", pathboxBody, kNoAttributesNotice);
}

int64_t runFileboxDirective(Engine& engine, const DirectiveNode& node) {
  return runDirective(engine, node, "FILEBOX", fileboxBody, kNoAttributesNotice);
}

}  // namespace orv
