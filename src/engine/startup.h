// The program's entry and end-of-run sequences.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"

namespace orv {

// The reading a byte-order mark at the start of bytes chooses (Latin1 without one).
DocumentEncoding encodingOfMark(std::string_view bytes);
// Reads the file's first bytes to choose how the loader reads it.
DocumentEncoding detectEncoding(const std::string& path);
// Runs the whole program on the arguments; returns the combined exit code.
int64_t runProgram(Engine& engine, const std::vector<std::string>& args);
// The end-of-run lines and the wait at close.
void finishRun(Engine& engine);
// Loads the INI file named by the m switch into the memo store; 1 or 0.
// Defined beside the dispatch table, where the memo loaders meet the engine.
int loadSwitchMemos(Engine& engine, const std::string& path);
// Opens the /events stream when the switch asks for one; false when it cannot.
// Defined beside the dispatch table, where the events writer meets the engine.
bool startEventStream(Engine& engine);
// Logs that memory ran out (run log and journal) and marks the run failed.
void reportOutOfMemory(Engine& engine);

}  // namespace orv
