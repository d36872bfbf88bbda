// The INI reader and writer: parse, set a key, serialize, parse again.
#include "engine/ini.h"
#include "fuzz_support.h"

namespace {

// Names and values the writer must keep exactly.
bool plain(const std::string& s) {
  if (s.empty() || s.size() > 40) return false;
  for (char c : s)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> f = orv::fuzz::fields(data, size);
  orv::IniFile ini = orv::IniFile::parse(f[0]);
  for (const std::string& g : ini.groups()) ini.entries(g);
  std::string group = f.size() > 1 ? f[1] : "Action";
  std::string key = f.size() > 2 ? f[2] : "name";
  std::string value = f.size() > 3 ? f[3] : "1";
  ini.get(group, key);
  ini.set(group, key, value);
  std::string once = ini.serialize();
  orv::IniFile again = orv::IniFile::parse(once);
  // A file the writer wrote reads back to the same bytes.
  if (again.serialize() != once) __builtin_trap();
  if (plain(group) && plain(key) && plain(value) && again.get(group, key) != value) __builtin_trap();
  return 0;
}
