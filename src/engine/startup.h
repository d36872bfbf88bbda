// The program's entry and end-of-run sequences.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace orv {

// The reading a byte-order mark at the start of bytes chooses (Latin1 without one).
DocumentEncoding encodingOfMark(const std::string& bytes);
// Reads the file's first bytes to choose how the loader reads it.
DocumentEncoding detectEncoding(const std::string& path);
// Runs the whole program on the arguments; returns the combined exit code.
int64_t runProgram(Engine& engine, const std::vector<std::string>& args);
// The end-of-run lines and the wait at close.
void finishRun(Engine& engine);
// Logs that memory ran out (run log and journal) and marks the run failed.
void reportOutOfMemory(Engine& engine);

}  // namespace orv
