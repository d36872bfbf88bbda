#include "engine/params.h"

#include "engine/text_util.h"

namespace orv {

bool isSwitch(const std::string& arg) {
  // A switch starts with "/", "-" or "+" (a plain test: no pattern to compile at start-up).
  if (arg.empty() || (arg[0] != '/' && arg[0] != '-' && arg[0] != '+')) return false;
  // A switch name never holds a "/": "/home/x.xml" is an absolute POSIX path.
  return !(arg[0] == '/' && arg.find('/', 1) != std::string::npos);
}

void parseCommandLine(const std::vector<std::string>& args, ParameterMap& map) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = firstChars(args[i], 1024);
    if (!isSwitch(arg)) {
      map["*no_switch_" + std::to_string(i)] = arg;
      continue;
    }
    std::string name = arg.substr(1);
    std::string value = kNoValue;
    if (i + 1 < args.size() && !isSwitch(firstChars(args[i + 1], 1024))) value = firstChars(args[++i], 1024);
    map[name] = value;
  }
}

}  // namespace orv
