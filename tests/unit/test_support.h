// Shared helpers for unit tests: a scoped temp folder and an engine with a log.
#pragma once
#include <string>
#include <vector>

#include "engine/engine.h"

namespace orv::test {

// A fresh folder removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  // path() + separator + name
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

// Reads a file's lines with the date prefix (up to the first " : ") removed.
std::vector<std::string> logLines(const std::string& path);
// Reads a whole file (empty when missing).
std::string slurp(const std::string& path);
// Writes a file.
void spit(const std::string& path, const std::string& text);

}  // namespace orv::test
