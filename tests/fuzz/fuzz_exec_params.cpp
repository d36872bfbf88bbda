// The EXEC parameter splitter, the accepted exit codes and the output capture.
#include "fuzz_support.h"
#include "platform/process.h"
#include "sysops/exec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = orv::fuzz::text(data, size);
  std::vector<std::string> args = orv::proc::splitCommandLine(text);
  size_t total = 0;
  for (const std::string& a : args) total += a.size();
  if (total > text.size()) __builtin_trap();  // splitting never adds characters
  orv::acceptsExitCode(text, 0);
  orv::acceptsExitCode(text, -1);
  orv::capturedText(text);
  return 0;
}
