// The wildcard matchers: a name and a pattern or filter list.
#include <cctype>

#include "fuzz_support.h"
#include "platform/pattern.h"

namespace {

bool onlyAlnum(const std::string& s) {
  for (char c : s)
    if (!isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 2048) return 0;  // the enumeration matcher is quadratic by design
  std::vector<std::string> f = orv::fuzz::fields(data, size);
  const std::string& name = f[0];
  const std::string& pattern = f.size() > 1 ? f[1] : f[0];
  orv::matchFindPattern(name, pattern);
  bool matched = orv::matchFileFilter(name, pattern);
  // A filter list matches when one of its masks does; adding a mask never loses a match.
  if (matched && !pattern.empty() && pattern != "*.*" &&
      !orv::matchFileFilter(name, pattern + ";nothing-like-this"))
    __builtin_trap();
  // A filter without wildcards, separators or blanks is one literal mask: an
  // ASCII name it matches has its length (no byte of it may act as ";").
  bool literal = pattern.find_first_of(";*? ") == std::string::npos;
  if (matched && literal && !pattern.empty() && onlyAlnum(name) && name.size() != pattern.size())
    __builtin_trap();
  return 0;
}
