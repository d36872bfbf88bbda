// Attribute expansion against a small store of memos, exit codes, action
// states and dialog answers.
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "fuzz_support.h"

namespace {

orv::Engine& store() {
  static orv::Engine* engine = [] {
    auto* e = new orv::Engine;
    e->memos.set("a", "x#b#y");
    e->memos.set("b", "#c##c#");
    e->memos.set("c", "%yyyy%");
    e->memos.set("empty", "");
    e->memos.setBlock("block", std::string("bytes\0here", 10));
    e->results.exec["run"] = -994;
    e->results.actionStates["A"] = -2;
    e->results.dialogs["ask"] = {"yes", 2};
    return e;
  }();
  return *engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kSeparators[] = {"#", "%", "#,%", ""};
  unsigned how = orv::fuzz::choice(data, size, 16);
  orv::AttributeExpansion options;
  options.separators = kSeparators[how % 4];
  options.limit = how / 4 == 0 ? 0 : size_t{1} << (how / 4 * 3);  // 0, 8, 64, 512
  std::string out = orv::expandAttribute(store(), orv::fuzz::text(data, size), options);
  if (options.limit != 0 && orv::firstChars(out, options.limit) != out) __builtin_trap();
  return 0;
}
