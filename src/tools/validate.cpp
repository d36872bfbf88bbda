#include "tools/validate.h"

#include <expat.h>

#include <algorithm>
#include <set>

#include "engine/text_util.h"
#include "tools/language.h"
#include "tools/tool_input.h"

namespace orv::tools {

namespace {

using lang::AttributeRule;
using lang::TagRule;
using lang::ValueKind;

// Names a run stores and later reads, as far as the file alone shows them.
struct StoredNames {
  std::set<std::string> memos, execs, libs, dialogs;
  bool memoLoader = false;   // a loader (INI, registry, file, parameters, /m) may define any memo
  std::string lastPlugin;    // location of the last plug-in loaded so far
};

class Validator {
 public:
  explicit Validator(const ValidateOptions& options) { names_.memoLoader = options.memoSwitch; }
  std::vector<Finding> run(const DirectiveNode& root);
  // Checks one element (its attributes, not its children).
  void checkElement(const DirectiveNode& node, bool isRoot);
  std::vector<Finding> take() { return std::move(findings_); }

 private:
  void checkUnknownTag(const DirectiveNode& node);
  void checkAttributes(const DirectiveNode& node, const TagRule& rule);
  void checkValue(const DirectiveNode& node, const AttributeRule& a, const std::string& name,
                  const std::string& value);
  void checkKeyword(const DirectiveNode& node, const AttributeRule& a, const std::string& name,
                    const std::string& value);
  void checkPeriod(const DirectiveNode& node, const std::string& name, const std::string& value);
  void checkRequired(const DirectiveNode& node, const TagRule& rule);
  void checkReads(const DirectiveNode& node);
  void noteDefinitions(const DirectiveNode& node);
  void add(const DirectiveNode& node, bool error, std::string message) {
    findings_.push_back({node.line, node.column, error, std::move(message)});
  }
  void unknownValue(const DirectiveNode& node, const std::string& name, const std::string& value,
                    const std::string& fallback);

  StoredNames names_;
  std::vector<Finding> findings_;
};

// The attribute's value by lower-case name; null when absent.
const std::string_view* attribute(const DirectiveNode& node, std::string_view lowerName) {
  for (const Attribute& a : node.attributes)
    if (equalsNoCase(a.first, lowerName)) return &a.second;
  return nullptr;
}

std::string attributeText(const DirectiveNode& node, std::string_view lowerName) {
  const std::string_view* v = attribute(node, lowerName);
  return v ? std::string(*v) : std::string();
}

std::vector<std::string> directiveTags() {
  std::vector<std::string> tags;
  for (const TagRule& rule : lang::directiveLanguage())
    if (!rule.root) tags.push_back(rule.tag);
  return tags;
}

std::vector<std::string> attributeNames(const TagRule& rule) {
  std::vector<std::string> list;
  for (const AttributeRule& a : rule.attributes)
    list.push_back(a.name.back() == '#' ? a.name.substr(0, a.name.size() - 1) + "1" : a.name);
  return list;
}

std::vector<Finding> Validator::run(const DirectiveNode& root) {
  // Document order without recursion: files may nest deeply.
  std::vector<const DirectiveNode*> stack{&root};
  while (!stack.empty()) {
    const DirectiveNode* node = stack.back();
    stack.pop_back();
    checkElement(*node, node == &root);
    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
      if ((*it)->isElement()) stack.push_back(*it);
  }
  return std::move(findings_);
}

void Validator::checkElement(const DirectiveNode& node, bool isRoot) {
  const TagRule* rule = isRoot ? &lang::rootRule() : lang::findDirective(node.name);
  if (isRoot && node.name != "ORVANTIS")
    add(node, false, "élément racine " + std::string(node.name) + " : ORVANTIS attendu");
  if (!rule) return checkUnknownTag(node);
  checkAttributes(node, *rule);
  checkRequired(node, *rule);
  checkReads(node);
  noteDefinitions(node);
}

void Validator::checkUnknownTag(const DirectiveNode& node) {
  std::string tag(node.name);
  if (!names_.lastPlugin.empty()) {
    add(node, false, "balise " + tag + " inconnue : elle doit être déclarée par le plug-in " +
                         names_.lastPlugin + " (non chargé par la validation)");
    return;
  }
  std::string near = lang::closest(toUpper(tag), directiveTags());
  add(node, true, "balise inconnue " + tag + (near.empty() ? "" : " ; vouliez-vous dire " + near + " ?"));
}

void Validator::checkAttributes(const DirectiveNode& node, const TagRule& rule) {
  for (const Attribute& attr : node.attributes) {
    std::string name = toLower(attr.first);
    if (name == "xmlns" || name.find(':') != std::string::npos) continue;  // schema hints for editors
    if (const AttributeRule* a = lang::findAttribute(rule, name)) {
      checkValue(node, *a, name, std::string(attr.second));
      continue;
    }
    std::string near = lang::closest(name, attributeNames(rule));
    add(node, false, "attribut inconnu " + std::string(attr.first) + " pour " + rule.tag +
                         (near.empty() ? "" : " ; vouliez-vous dire " + near + " ?"));
  }
}

void Validator::unknownValue(const DirectiveNode& node, const std::string& name, const std::string& value,
                             const std::string& fallback) {
  std::string message = "valeur " + value + " non reconnue pour l'attribut " + name + " de " +
                        std::string(node.name);
  add(node, false, fallback.empty() ? message : message + " : " + fallback + " sera utilisé");
}

void Validator::checkValue(const DirectiveNode& node, const AttributeRule& a, const std::string& name,
                           const std::string& value) {
  if (value.empty()) return;  // the same as an absent attribute
  std::string lower = toLower(value);
  switch (a.kind) {
    case ValueKind::Text: return;
    case ValueKind::Keyword: return checkKeyword(node, a, name, value);
    case ValueKind::Policy:
      if (lower == "inherit" || lower == "block" || lower == "ignore" || lang::hasNumberDigits(value)) return;
      return unknownValue(node, name, value, "inherit");
    case ValueKind::Blocktag:
      if (lower == "pie" || lower == "block" || lower == "pne" || lower == "signalerror" ||
          lang::hasNumberDigits(value))
        return;
      return unknownValue(node, name, value, "pie");
    case ValueKind::Version:
      if (value == "disabled") return;
      [[fallthrough]];
    case ValueKind::Number:
      if (!lang::hasNumberDigits(value))
        add(node, false, "la valeur " + value + " de l'attribut " + name + " de " + std::string(node.name) +
                             " se lit comme le nombre 0");
      return;
    case ValueKind::VersionPeriod:
      if (lower == "-1" || lower == "disabled") return;
      [[fallthrough]];
    case ValueKind::Period: return checkPeriod(node, name, value);
  }
}

void Validator::checkKeyword(const DirectiveNode& node, const AttributeRule& a, const std::string& name,
                             const std::string& value) {
  std::string compared = a.exactCase ? value : toLower(value);
  for (const std::string& word : a.keywords)
    if (word == compared) return;
  unknownValue(node, name, value, a.fallback);
}

void Validator::checkPeriod(const DirectiveNode& node, const std::string& name, const std::string& value) {
  for (const std::string& entry : lang::unknownPeriodUnits(value))
    add(node, false, "unité de période inconnue dans " + entry + " (attribut " + name + " de " +
                         std::string(node.name) + ") : cette entrée compte 0 seconde");
}

void Validator::checkRequired(const DirectiveNode& node, const TagRule& rule) {
  for (const AttributeRule& a : rule.attributes)
    if (a.required && attributeText(node, a.name).empty())
      add(node, true, "l'attribut " + a.name + " de " + rule.tag + " est obligatoire");
  if (rule.tag == "ACTION" && !rule.root && attributeText(node, "version").empty() &&
      attributeText(node, "versiondate").empty())
    add(node, true, "ACTION sans version ni versiondate : l'action ne s'exécutera jamais");
}

// CHECK conditions that read a stored result by name.
void Validator::checkReads(const DirectiveNode& node) {
  if (node.name != "CHECK") return;
  std::string type = toLower(attributeText(node, "type"));
  std::string name = attributeText(node, "name");
  if (name.empty()) return;
  if (type == "memo" && !names_.memoLoader && name[0] != '_' && !names_.memos.count(name))
    add(node, false, "le mémo " + name + " est lu avant qu'un MEMO ne le définisse");
  else if (type == "exec" && !names_.execs.count(name))
    add(node, false, "le code retour de l'EXEC " + name + " est lu avant qu'un EXEC ne le définisse");
  else if (type == "lib" && !names_.libs.count(toLower(name)))
    add(node, false, "le retour du LIB " + name + " est lu avant qu'un LIB ne le définisse");
  else if (type == "msgbox" && !names_.dialogs.count(name))
    add(node, false, "la réponse " + name + " est lue avant qu'une boîte de dialogue ne la définisse");
}

void Validator::noteDefinitions(const DirectiveNode& node) {
  std::string tag(node.name), name = attributeText(node, "name");
  if (tag == "MEMO") {
    std::string type = toLower(attributeText(node, "type"));
    if (type == "ini" || type == "registry" || type == "file" || type == "parameters") names_.memoLoader = true;
    names_.memos.insert(name);
  } else if (tag == "EXEC") {
    names_.execs.insert(name);
  } else if (tag == "LIB") {
    names_.libs.insert(toLower(name));
  } else if (tag == "MSGBOX" || tag == "INPUTBOX" || tag == "PATHBOX" || tag == "FILEBOX") {
    names_.dialogs.insert(name);
  } else if (tag == "PLUGIN" && toLower(attributeText(node, "type")) != "close") {
    names_.lastPlugin = attributeText(node, "location");
  }
}

// One pass of the parser: each element is checked as its start tag is read,
// so a large file needs no tree (the loader's positions and errors are the same).
struct Stream {
  Validator& validator;
  XML_Parser parser;
  int depth = 0;
  std::vector<Attribute> attributes;
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** atts) {
  auto* s = static_cast<Stream*>(data);
  DirectiveNode node;
  node.name = name;
  s->attributes.clear();
  for (size_t i = 0; atts[i]; i += 2) s->attributes.push_back({atts[i], atts[i + 1]});
  node.attributes = AttributeList(s->attributes.data(), s->attributes.size());
  node.line = static_cast<uint32_t>(XML_GetCurrentLineNumber(s->parser));
  node.column = static_cast<uint32_t>(XML_GetCurrentColumnNumber(s->parser) + 1);
  s->validator.checkElement(node, s->depth++ == 0);
}

void XMLCALL onEnd(void* data, const XML_Char*) { --static_cast<Stream*>(data)->depth; }

}  // namespace

Finding parseErrorFinding(int status, uint64_t line, uint64_t column) {
  std::string text = parserErrorText(status);
  return {line, column, true, "XML mal formé : " + describeXmlError(status) + (text.empty() ? "" : " (" + text + ")")};
}

std::vector<Finding> validateDocument(const ParsedDocument& doc, const ValidateOptions& options) {
  if (doc.status != 0) return {parseErrorFinding(doc.status, doc.line, doc.column)};
  if (!doc.root) return {};
  return Validator(options).run(*doc.root);
}

std::vector<Finding> validateText(const std::string& bytes, const std::string& encoding,
                                  const ValidateOptions& options) {
  XML_Parser parser = XML_ParserCreate(encoding.empty() ? nullptr : encoding.c_str());
  if (!parser) return {{0, 0, true, "mémoire insuffisante"}};
  Validator validator(options);
  Stream stream{validator, parser, 0, {}};
  XML_SetUserData(parser, &stream);
  XML_SetElementHandler(parser, onStart, onEnd);
  constexpr size_t kBlock = 16384;  // as the loader feeds it, so errors stand where the run reports them
  std::vector<Finding> findings;
  size_t offset = 0;
  do {
    size_t len = std::min(kBlock, bytes.size() - offset);
    bool last = offset + len >= bytes.size();
    if (XML_Parse(parser, bytes.data() + offset, static_cast<int>(len), last) == XML_STATUS_ERROR) {
      findings = {parseErrorFinding(XML_GetErrorCode(parser), XML_GetCurrentLineNumber(parser),
                                    XML_GetCurrentColumnNumber(parser) + 1)};
      break;
    }
    offset += len;
  } while (offset < bytes.size());
  XML_ParserFree(parser);
  return findings.empty() ? validator.take() : findings;
}

std::string formatFinding(const std::string& file, const Finding& finding) {
  return position(file, finding.line, finding.column) + (finding.error ? "erreur: " : "avertissement: ") +
         finding.message;
}

int64_t runValidate(const ParameterMap& params) {
  std::string file = toolFile(params, "validate");
  std::string bytes, encoding;
  if (!readDirectiveBytes(params, file, bytes, encoding)) {
    printReport((file.empty() ? std::string("(aucun fichier)") : file) +
                ": erreur: fichier de directive introuvable ou illisible\n");
    return kToolNoFile;
  }
  std::vector<Finding> findings = validateText(bytes, encoding, {.memoSwitch = params.count("m") > 0});
  std::string().swap(bytes);
  std::string report;
  bool errors = false;
  for (const Finding& f : findings) {
    report += formatFinding(file, f) + "\n";
    errors = errors || f.error;
  }
  printReport(report);
  return errors ? kToolFindings : kToolOk;
}

}  // namespace orv::tools
