// orvantis: runs a directive file.
#include <new>

#include "engine/engine.h"
#include "engine/params.h"
#include "engine/startup.h"
#include "platform/system.h"
#include "tools/plan.h"
#include "tools/validate.h"

// The administrator tools (/validate, /plan) run instead of the directive
// file; false when neither switch is given.
static bool runTool(const std::vector<std::string>& args, int64_t& code) {
  orv::ParameterMap params;
  orv::parseCommandLine(args, params);
  if (params.count("validate")) code = orv::tools::runValidate(params);
  else if (params.count("plan")) code = orv::tools::runPlan(params);
  else return false;
  return true;
}

int main(int argc, char** argv) {
  static orv::Engine engine;  // program-wide state, alive until the process ends
  int64_t code = 0;
  try {
    std::vector<std::string> args = orv::sys::commandLineArguments(argc, argv);
    if (!runTool(args, code)) code = orv::runProgram(engine, args);
  } catch (const std::bad_alloc&) {
    // Start-up or the end of the run ran out of memory: say so instead of aborting.
    orv::reportOutOfMemory(engine);
    code = engine.run.exitCode;
  }
  orv::sys::exitProcess(code);
}
