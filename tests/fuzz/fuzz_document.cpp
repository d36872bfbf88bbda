// The document loader on arbitrary bytes, with each forced encoding, and the
// validator on what it parsed.
#include "engine/document.h"
#include "fuzz_support.h"
#include "tools/validate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kEncodings[] = {"", "ISO-8859-1", "UTF-8", "UTF-16"};
  const char* encoding = kEncodings[orv::fuzz::choice(data, size, 4)];
  auto doc = orv::parseDocument(orv::fuzz::text(data, size), encoding);
  if (!doc) return 0;
  orv::describeXmlError(doc->status);
  // Every node's path is computed by the interpreter's log lines.
  doc->nodes.forEach([](const orv::DirectiveNode& node) { node.path(); });
  if (doc->status != 0 && doc->errorText.empty())
    __builtin_trap();  // a failed parse always has the parser's own text
  // The validator reads every element and attribute of whatever parsed; its
  // one-pass reading finds what the checks over the tree find.
  auto tree = orv::tools::validateDocument(*doc, {});
  auto stream = orv::tools::validateText(orv::fuzz::text(data, size), encoding, {});
  if (tree.size() != stream.size()) __builtin_trap();
  for (size_t i = 0; i < tree.size(); ++i)
    if (tree[i].message != stream[i].message || tree[i].line != stream[i].line) __builtin_trap();
  return 0;
}
