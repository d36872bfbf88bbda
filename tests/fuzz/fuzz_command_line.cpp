// The command-line rules: arguments separated by NUL bytes.
#include "engine/params.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = orv::fuzz::fields(data, size);
  orv::ParameterMap map;
  orv::parseCommandLine(args, map);
  for (const std::string& a : args) orv::isSwitch(a);
  return 0;
}
