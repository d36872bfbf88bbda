#define PCRE2_CODE_UNIT_WIDTH 8
#include "engine/params.h"

#include <pcre2.h>

#include "engine/text_util.h"

namespace orv {

namespace {

// The compiled switch expression, shared for the process.
class SwitchPattern {
 public:
  SwitchPattern() {
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>("^(\\/|\\-|\\+)"), PCRE2_ZERO_TERMINATED, 0, &error,
                          &offset, nullptr);
    if (code_) match_ = pcre2_match_data_create_from_pattern(code_, nullptr);
  }
  ~SwitchPattern() {
    pcre2_match_data_free(match_);
    pcre2_code_free(code_);
  }
  bool matches(const std::string& text) const {
    if (!code_ || !match_) return !text.empty() && (text[0] == '/' || text[0] == '-' || text[0] == '+');
    int rc =
        pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, match_, nullptr);
    return rc >= 0;
  }

 private:
  pcre2_code* code_ = nullptr;
  pcre2_match_data* match_ = nullptr;
};

}  // namespace

bool isSwitch(const std::string& arg) {
  static const SwitchPattern pattern;
  if (!pattern.matches(arg)) return false;
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
