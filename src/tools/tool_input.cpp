#include "tools/tool_input.h"

#include "engine/declared_encoding.h"
#include "engine/expand.h"
#include "engine/params.h"
#include "engine/startup.h"
#include "engine/text_util.h"
#include "platform/console.h"
#include "platform/files.h"

namespace orv::tools {

std::string toolFile(const ParameterMap& params, const std::string& toolSwitch) {
  auto f = params.find("f");
  if (f != params.end()) return firstChars(expandText(f->second, "#,%"), 255);
  auto own = params.find(toolSwitch);
  if (own != params.end() && own->second != kNoValue && toLower(own->second) != "json")
    return firstChars(expandText(own->second, "#,%"), 255);
  return "";
}

// The parser's encoding name, as a run chooses it.
static std::string encodingFor(const ParameterMap& params, const std::string& bytes) {
  auto t = params.find("t");
  std::string choice = t == params.end() ? "" : toLower(t->second);
  if (choice == "ascii") return "ISO-8859-1";
  if (choice == "utf8") return "UTF-8";
  if (choice == "unicode") return "UTF-16";
  switch (encodingOfMark(bytes)) {
    case DocumentEncoding::Utf16: return "UTF-16";
    case DocumentEncoding::Utf8: return "UTF-8";
    case DocumentEncoding::Latin1: return declaredUtf8(bytes) == DeclaredUtf8::Valid ? "UTF-8" : "ISO-8859-1";
    default: return "";
  }
}

bool readDirectiveBytes(const ParameterMap& params, const std::string& file, std::string& bytes,
                        std::string& encoding) {
  if (file.empty() || !fs::fileExists(file)) return false;
  std::optional<std::string> read = fs::readFile(file);
  if (!read || read->empty()) return false;
  bytes = std::move(*read);
  encoding = encodingFor(params, bytes);
  return true;
}

std::unique_ptr<ParsedDocument> readDirectiveFile(const ParameterMap& params, const std::string& file) {
  std::string bytes, encoding;
  if (!readDirectiveBytes(params, file, bytes, encoding)) return nullptr;
  return parseDocument(bytes, encoding);
}

std::string position(const std::string& file, uint64_t line, uint64_t column) {
  return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

void printReport(const std::string& text) {
  console::attachParentConsole();
  console::writeOut(text);
}

}  // namespace orv::tools
