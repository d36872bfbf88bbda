// orvantis: runs a directive file.
#include "engine/engine.h"
#include "engine/startup.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  static orv::Engine engine;  // program-wide state, alive until the process ends
  int64_t code = orv::runProgram(engine, orv::sys::commandLineArguments(argc, argv));
  orv::sys::exitProcess(code);
}
