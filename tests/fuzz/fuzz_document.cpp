// The document loader on arbitrary bytes, with each forced encoding.
#include "engine/document.h"
#include "fuzz_support.h"

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
  return 0;
}
