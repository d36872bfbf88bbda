// orvantis: runs a directive file.
#include <new>

#include "engine/engine.h"
#include "engine/startup.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  static orv::Engine engine;  // program-wide state, alive until the process ends
  int64_t code = 0;
  try {
    code = orv::runProgram(engine, orv::sys::commandLineArguments(argc, argv));
  } catch (const std::bad_alloc&) {
    // Start-up or the end of the run ran out of memory: say so instead of aborting.
    orv::reportOutOfMemory(engine);
    code = engine.run.exitCode;
  }
  orv::sys::exitProcess(code);
}
