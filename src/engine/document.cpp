#include "engine/document.h"

#include <expat.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/engine.h"
#include "engine/text_util.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace orv {

namespace {

const char* const kFrenchErrors[] = {
    "Aucune erreur.",
    "Plus assez de mémoire.",
    "Erreur de syntaxe.",
    "Aucun élément trouvé.",
    "Document malformé (balise invalide).",
    "Balise fermante manquante.",
    "Caractère partiel.",
    "Balise qui ne correspond pas.",
    "Attribut en double.",
    "Erreur après un élément du document.",
    "Paramètre illégal dans la référence de l'entité.",
    "Entité indéfinie.",
    "Référence récursive d'entités.",
    "Entité asynchrone.",
    "Référence à un numéro de caractère invalide.",
    "Référence à une entité binaire.",
    "Référence à une entité externe dans un attribut.",
    "XML ou texte de déclaration mal placé.",
    "Encodage inconnu.",
    "L'encodage de la déclaration XML est incorrect.",
    "Section CDATA non fermée.",
    "Erreur dans l'interprétation d'une entité externe.",
    "Le document n'est pas autonome.",
    "Erreur d'interprétation inattendue.",
    "Entité déclarée dans le paramètre entité.",
    "La fonctionnalité requise nécessite le support XML_DTD d'Expat.",
    "Impossible de changer de paramètre pendant l'interprétation.",
    "Préfixe non lié.",
    "Ne pas enlever la déclaration du préfixe.",
    "Balise incomplète dans le paramètre entité.",
    "XML déclaration malformée.",
    "Texte de déclaration malformé.",
    "Caractère illégal dans un identifiant public.",
    "Interpréteur suspendu.",
    "Interpréteur non suspendu.",
    "Interprétation annulée.",
    "Interprétation finie.",
    "Suspension impossible dans un paramètre entité externe.",
    "Le préfixe réservé (xml) ne doit pas être délié ou lié à un autre espace de noms.",
    "Le préfixe réservé (xmlns) ne doit pas être déclaré ou enlevé.",
    "Un préfixe ne doit pas empiéter sur un espace de noms réservé.",
};
constexpr int kKnownErrors = 41;

const char* stepName(NodeKind kind) {
  switch (kind) {
    case NodeKind::Comment: return "#comment";
    case NodeKind::CData: return "#cdata";
    case NodeKind::DocType: return "#dtd";
    case NodeKind::Instruction: return "#instruction";
    default: return "";
  }
}

// Tag and attribute names, looked up by content in a small open-addressing
// table of views into the document's set of names: a name is copied only the
// first time it is met, and a lookup allocates nothing.
class NameTable {
 public:
  std::string_view intern(std::string_view name, std::unordered_set<std::string>& held) {
    uint64_t hash = hashOf(name);
    size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask; slots_[i].data(); i = (i + 1) & mask)
      if (slots_[i] == name) return slots_[i];
    std::string_view kept = *held.emplace(name).first;
    if (++count_ * 2 > slots_.size()) grow();
    place(kept, hash);
    return kept;
  }

 private:
  static uint64_t hashOf(std::string_view name) {
    uint64_t hash = 14695981039346656037u;  // FNV-1a: names are short
    for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return hash;
  }
  void place(std::string_view name, uint64_t hash) {
    size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i].data()) i = (i + 1) & mask;
    slots_[i] = name;
  }
  void grow() {
    std::vector<std::string_view> old(slots_.size() * 2);
    old.swap(slots_);
    for (std::string_view name : old)
      if (name.data()) place(name, hashOf(name));
  }

  std::vector<std::string_view> slots_ = std::vector<std::string_view>(64);  // empty slot: null data
  size_t count_ = 0;
};

// Builds the tree from the parser's callbacks, without recursion.
struct TreeBuilder {
  ParsedDocument* doc = nullptr;
  DirectiveNode* current = nullptr;
  XML_Parser parser = nullptr;
  DirectiveNode* cdata = nullptr;  // open CDATA section receiving character data
  // Per open element, outermost first: how many children of each step it has
  // so far (an element's step is its interned name, other kinds their step name).
  std::vector<std::unordered_map<const void*, int>> stepCounts =
      std::vector<std::unordered_map<const void*, int>>(1);
  NameTable names;

  DirectiveNode* add(NodeKind kind, std::string_view name) {
    DirectiveNode& node = doc->nodes.add();
    node.kind = kind;
    node.name = name;
    node.parent = current;
    node.depth = current->depth + 1;
    node.id = doc->nodes.size();
    const void* step = kind == NodeKind::Element ? name.data() : stepName(kind);
    node.ordinal = ++stepCounts.back()[step];
    current->children.push_back(&node);
    return &node;
  }
  std::string_view intern(const char* name) { return names.intern(name, doc->names); }
  // A copy of value in the document's storage.
  std::string_view keep(const char* value) {
    size_t len = std::char_traits<char>::length(value);
    char* copy = static_cast<char*>(doc->storage.take(len, 1));
    std::char_traits<char>::copy(copy, value, len);
    return std::string_view(copy, len);
  }
  // Room for n attributes, contiguous and never moved.
  Attribute* room(size_t n) {
    return static_cast<Attribute*>(doc->storage.take(n * sizeof(Attribute), alignof(Attribute)));
  }
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** atts) {
  auto* b = static_cast<TreeBuilder*>(data);
  DirectiveNode* node = b->add(NodeKind::Element, b->intern(name));
  node->line = static_cast<uint32_t>(XML_GetCurrentLineNumber(b->parser));
  node->column = static_cast<uint32_t>(XML_GetCurrentColumnNumber(b->parser) + 1);
  if (!b->doc->root && b->current == b->doc->document) b->doc->root = node;
  size_t count = 0;
  while (atts[count * 2]) ++count;
  if (count > 0) {
    Attribute* attrs = b->room(count);
    for (size_t i = 0; i < count; ++i)
      new (attrs + i) Attribute{b->intern(atts[2 * i]), b->keep(atts[2 * i + 1])};
    node->attributes = AttributeList(attrs, count);
  }
  b->current = node;
  b->stepCounts.emplace_back();
}

void XMLCALL onEnd(void* data, const XML_Char*) {
  auto* b = static_cast<TreeBuilder*>(data);
  b->stepCounts.pop_back();
  b->current = b->current->parent;
}

void XMLCALL onText(void* data, const XML_Char* s, int len) {
  auto* b = static_cast<TreeBuilder*>(data);
  (b->cdata ? b->cdata : b->current)->text.append(s, static_cast<size_t>(len));
}

void XMLCALL onComment(void* data, const XML_Char* s) {
  auto* b = static_cast<TreeBuilder*>(data);
  b->add(NodeKind::Comment, "")->text = s;
}

void XMLCALL onCDataStart(void* data) {
  auto* b = static_cast<TreeBuilder*>(data);
  b->cdata = b->add(NodeKind::CData, "");
}

void XMLCALL onCDataEnd(void* data) { static_cast<TreeBuilder*>(data)->cdata = nullptr; }

void XMLCALL onInstruction(void* data, const XML_Char*, const XML_Char* body) {
  auto* b = static_cast<TreeBuilder*>(data);
  b->add(NodeKind::Instruction, "")->text = body ? body : "";
}

void XMLCALL onDocType(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  static_cast<TreeBuilder*>(data)->add(NodeKind::DocType, "");
}

}  // namespace

std::string DirectiveNode::path() const {
  if (kind == NodeKind::Document) return "/";
  std::vector<const DirectiveNode*> chain;
  for (const DirectiveNode* n = this; n && n->kind != NodeKind::Document; n = n->parent) chain.push_back(n);
  std::string out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const DirectiveNode* n = *it;
    out += '/';
    out += n->kind == NodeKind::Element ? n->name : stepName(n->kind);
    if (n->ordinal > 1) out += "[" + std::to_string(n->ordinal) + "]";
  }
  return out;
}

std::string describeXmlError(int status) {
  int code = static_cast<uint8_t>(status);
  return code < kKnownErrors ? kFrenchErrors[code] : "Erreur inconnu.";
}

std::string parserErrorText(int status) {
  // Codes past the French table (such as the entity amplification limit) keep
  // expat's own text, so the journal still says what stopped the parse.
  if (status < 1) return "";
  const XML_LChar* text = XML_ErrorString(static_cast<XML_Error>(status));
  return text ? text : "";
}

// One parse from the first block to the last: the tree grows as blocks come.
class BlockParser {
 public:
  explicit BlockParser(const std::string& encoding) : doc_(std::make_unique<ParsedDocument>()) {
    DirectiveNode& top = doc_->nodes.add();
    top.kind = NodeKind::Document;
    top.depth = 1;
    top.id = 1;
    doc_->document = &top;
    parser_ = XML_ParserCreate(encoding.empty() ? nullptr : encoding.c_str());
    builder_.doc = doc_.get();
    builder_.current = &top;
    builder_.parser = parser_;
    if (!parser_) return;
    XML_SetUserData(parser_, &builder_);
    XML_SetElementHandler(parser_, onStart, onEnd);
    XML_SetCharacterDataHandler(parser_, onText);
    XML_SetCommentHandler(parser_, onComment);
    XML_SetCdataSectionHandler(parser_, onCDataStart, onCDataEnd);
    XML_SetProcessingInstructionHandler(parser_, onInstruction);
    XML_SetStartDoctypeDeclHandler(parser_, onDocType);
  }
  ~BlockParser() {
    if (parser_) XML_ParserFree(parser_);
  }
  BlockParser(const BlockParser&) = delete;
  BlockParser& operator=(const BlockParser&) = delete;

  // Parses the next block (16 KiB at a time); false once the parse failed.
  bool feed(std::string_view bytes, bool last) {
    constexpr size_t kBlock = 16384;
    size_t offset = 0;
    do {
      size_t len = std::min(kBlock, bytes.size() - offset);
      bool end = last && offset + len >= bytes.size();
      if (XML_Parse(parser_, bytes.data() + offset, static_cast<int>(len), end) == XML_STATUS_ERROR) {
        doc_->status = XML_GetErrorCode(parser_);
        doc_->line = XML_GetCurrentLineNumber(parser_);
        doc_->column = XML_GetCurrentColumnNumber(parser_) + 1;
        doc_->errorText = parserErrorText(doc_->status);
        return false;
      }
      offset += len;
    } while (offset < bytes.size());
    return true;
  }
  // The tree, or nothing when the parser could not be created.
  std::unique_ptr<ParsedDocument> take() { return parser_ ? std::move(doc_) : nullptr; }

 private:
  std::unique_ptr<ParsedDocument> doc_;
  XML_Parser parser_ = nullptr;
  TreeBuilder builder_;
};

std::unique_ptr<ParsedDocument> parseDocument(const std::string& bytes, const std::string& encoding) {
  BlockParser parser(encoding);
  parser.feed(bytes, true);
  return parser.take();
}

// Parses the file as it is read, so that it never sits whole in memory.
// Nothing when it cannot be read or is empty.
static std::unique_ptr<ParsedDocument> parseFile(const std::string& path, const std::string& encoding) {
  BlockParser parser(encoding);
  size_t total = 0;
  bool parsing = true;
  bool read = fs::readBlocks(path, [&](std::string_view block) {
    total += block.size();
    return parsing = parser.feed(block, false);
  });
  if (!read || total == 0) return nullptr;
  if (parsing) parser.feed({}, true);
  return parser.take();
}

static const char* encodingName(DocumentEncoding e) {
  switch (e) {
    case DocumentEncoding::Latin1: return "ISO-8859-1";
    case DocumentEncoding::Utf8: return "UTF-8";
    case DocumentEncoding::Utf16: return "UTF-16";
    default: return "";
  }
}

static void reportXmlError(Engine& engine, const ParsedDocument& doc) {
  std::string line = decimal(static_cast<int64_t>(doc.line));
  std::string column = decimal(static_cast<int64_t>(doc.column));
  engine.logStartup("Erreur, fichier XML non valide !", "ERR2");
  engine.logStartup("Description de l'erreur : " + describeXmlError(doc.status), "ERR2");
  engine.logStartup("Erreur ligne : " + line, "ERR3");
  engine.logStartup("Caractère n° : " + column, "ERR3");
  engine.logStartup("Détail de l'erreur : " + doc.errorText, "ERR3");
  if (engine.run.directiveFile.empty() || engine.run.silent) return;
  dialogs::showError(engine.run.title, "Erreur, fichier XML non valide !\r\n" + describeXmlError(doc.status) +
                                           "\r\n\r\nErreur ligne : " + line + " Caractère n° : " + column +
                                           "\r\nDescription de l'erreur : " + doc.errorText);
}

DirectiveNode* loadDirectiveDocument(Engine& engine, std::unique_ptr<ParsedDocument>& holder) {
  const std::string& file = engine.run.directiveFile;
  engine.logStartup("Chargement du fichier " + file, "NIV1");
  std::unique_ptr<ParsedDocument> doc = parseFile(file, encodingName(engine.run.documentEncoding));
  if (!doc) {
    engine.run.exitCode |= -998;
    return nullptr;
  }
  engine.logStartup("Fichier ouvert. (" + decimal(static_cast<int64_t>(doc->document->id)) + ")", "NIV2");
  if (doc->status != 0) {
    reportXmlError(engine, *doc);
    engine.run.exitCode |= -996;
    return nullptr;
  }
  engine.memos.set("_xmlfilepath_", fs::folderPart(file), kMemoText);
  engine.memos.set("_xmlfile_", fs::filePart(file), kMemoText);
  engine.logStartup("Fichier XML valide", "NIV2");
  engine.logStartup("Connexion au noeud N°" + decimal(static_cast<int64_t>(doc->root->id)), "NIV2");
  engine.logStartup("Traitement en cours de l'arbre en cours...", "NIV2");
  holder = std::move(doc);
  return holder->root;
}

}  // namespace orv
