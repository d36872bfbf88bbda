// The interpreter on whole directive documents, limited to directives that
// only touch a scratch folder: elements of other tags, or with paths that are
// not plain relative names (no expansion), and pauses that wait are removed.
#include <stdlib.h>
#include "engine/period.h"

#include <cctype>

#include <filesystem>
#include <set>

#include "actions/action.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "engine/text_util.h"
#include "fuzz_support.h"

namespace {

namespace stdfs = std::filesystem;

const std::set<std::string> kTags = {"ACTION", "LOG",  "MEMO",   "PAUSE",
                                     "CREATE", "COPY", "DELETE", "ORVANTIS"};
// Attributes naming files, folders or the working directory.
const std::set<std::string> kPathAttributes = {"location", "sourcelocation", "targetlocation", "log",
                                               "actionsfile"};

// A relative path of plain names (wildcards allowed), never "." or "..".
bool plainPath(const std::string& value) {
  if (value.empty() || value.size() > 100 || value[0] == '/') return false;
  size_t start = 0;
  for (;;) {
    size_t slash = value.find('/', start);
    std::string part = value.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part.empty() || part.find_first_not_of('.') == std::string::npos) return false;
    for (char c : part)
      if (!isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-' && c != '*' && c != '?')
        return false;
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

// A pause that would wait (or whose length cannot be read without waiting).
bool waits(const orv::DirectiveNode& node) {
  for (const auto& [name, value] : node.attributes) {
    if (orv::toLower(name) != "value") continue;
    orv::Engine quiet;
    return orv::parsePeriod(quiet, orv::firstChars(orv::toLower(value), 50)) > 0;
  }
  return false;
}

bool keepAttribute(const orv::DirectiveNode& node, const std::string& name, const std::string& value) {
  std::string lower = orv::toLower(name);
  if (kPathAttributes.count(lower)) return plainPath(value);
  if (lower == "workingdir") return false;  // the scratch folder stays the current folder
  // Environment variables the harness itself depends on stay untouched.
  if (node.name == "CREATE" && lower == "name") return value.rfind("FZ", 0) == 0;
  return true;
}

// True when every attribute of the element may be run in the scratch folder.
bool allowed(const orv::DirectiveNode& node) {
  for (const auto& [name, value] : node.attributes)
    if (!keepAttribute(node, std::string(name), std::string(value))) return false;
  return true;
}

// Removes the elements that could reach outside the scratch folder or wait
// (with everything under them); the tree's attributes cannot be edited.
void confine(orv::DirectiveNode& node) {
  auto& c = node.children;
  for (size_t i = 0; i < c.size();) {
    orv::DirectiveNode* child = c[i];
    std::string tag(child->name);
    bool drop =
        child->isElement() && (!kTags.count(tag) || (tag == "PAUSE" && waits(*child)) || !allowed(*child));
    if (drop) {
      c.erase(c.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    if (child->isElement()) confine(*child);
    ++i;
  }
}

// The scratch folder: made once, emptied before every input.
const stdfs::path& scratch() {
  static const stdfs::path dir = [] {
    char pattern[] = "/tmp/orvantis-fuzz-XXXXXX";
    stdfs::path base = mkdtemp(pattern);
    setenv("ORVANTIS_REGISTRY", (base / "registry.sqlite3").c_str(), 1);
    stdfs::create_directory(base / "work");
    return base / "work";
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;
  const stdfs::path& dir = scratch();
  std::error_code ec;
  for (const auto& entry : stdfs::directory_iterator(dir, ec)) stdfs::remove_all(entry.path(), ec);
  stdfs::current_path(dir, ec);
  auto doc = orv::parseDocument(orv::fuzz::text(data, size), "");
  if (!doc || doc->status != 0 || !doc->root || !allowed(*doc->root)) return 0;
  confine(*doc->root);
  orv::Engine engine;
  engine.maxDepth = 64;  // the fuzzing thread's stack, not the program's 512 MB one
  orv::interpretNode(engine, *doc->root);
  return 0;
}
