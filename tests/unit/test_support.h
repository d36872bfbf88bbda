// Shared helpers for unit tests: a scoped temp folder and an engine with a log.
#pragma once
#include <memory>
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

// Points the registry store of the POSIX build at a file of dir for the
// object's life (the Windows build uses the real registry and ignores it).
class PrivateRegistry {
 public:
  explicit PrivateRegistry(const TempDir& dir);
  ~PrivateRegistry();
  PrivateRegistry(const PrivateRegistry&) = delete;
  PrivateRegistry& operator=(const PrivateRegistry&) = delete;

 private:
  std::string saved_;
};

// True when a line of the log at path (date prefix removed) contains text.
bool logHas(const std::string& path, const std::string& text);
// Reads a file's lines with the date prefix (up to the first " : ") removed.
std::vector<std::string> logLines(const std::string& path);
// Reads a whole file (empty when missing).
std::string slurp(const std::string& path);
// Writes a file.
void spit(const std::string& path, const std::string& text);

// Replaces the file operations that write or destroy for its lifetime: each
// call is recorded ("removeFile <path>"), then done by the platform unless
// it is one chosen to fail, which does nothing and reports failure.
class FileOpsRecorder {
 public:
  FileOpsRecorder();
  ~FileOpsRecorder();
  // The nth call (from 1) of operation op ("" = any operation) fails; with
  // andLater every later one too (a disk that stays full).
  void failCall(const std::string& op, size_t nth, bool andLater = false);
  // Every call fails without acting: nothing on the disk can change.
  void refuseAll() { failCall("", 1, true); }
  // The calls made so far, in order; only those of op when given.
  std::vector<std::string> calls(const std::string& op = "") const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace orv::test
