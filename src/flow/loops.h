// The FOR and WHILE loops: run their child elements once per pass, with the
// loop variables _valueline_ and _linenumber_ in the memo store.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

struct Engine;
class DirectiveNode;

// The lines of a loop file: UTF-16LE after its mark, UTF-8, or, when a line
// is not valid UTF-8, the whole file read in the ANSI code page (ansi is then set).
struct LoopFileLines {
  std::vector<std::string> lines;
  bool ansi = false;
};
LoopFileLines loopFileLines(const std::string& bytes);

// The path of a file of a listed folder: the folder without its trailing
// separators, one platform separator, the name.
std::string loopFilePath(const std::string& folder, const std::string& name, char separator);

// True while a WHILE goes on: "numeric" compares the number values, any other
// type the texts; "equal" goes on while they are equal (numeric) or differ
// (text), "dif" the other way round. Another mode never goes on.
bool whileGoesOn(const std::string& type, const std::string& mode, const std::string& current,
                 const std::string& value);

// The FOR element: its frame, the passes, the loop variables removed at the end.
int64_t runFor(Engine& engine, const DirectiveNode& node);
// The WHILE element, likewise.
int64_t runWhile(Engine& engine, const DirectiveNode& node);

}  // namespace orv
