// Starting programs: pipes for their output, waiting with a time limit, stopping.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orv::proc {

struct StartOptions {
  bool hidden = false;         // the program's window starts hidden
  bool capture = false;        // standard output and error come back through pipes
  bool discardOutput = false;  // standard output and error go to the null device
};

// A started program. Destroying it releases the handles; a program still
// running keeps running.
class ChildProcess {
 public:
  struct Impl;
  explicit ChildProcess(std::unique_ptr<Impl> impl);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The system's process identifier (0 when the system gave none).
  int64_t pid() const;
  // Waits until the program ends or limitMs milliseconds have passed (0: no
  // limit; below 0: already reached), reading both pipes all along so that a
  // talkative program never blocks. After the end, output still in the pipes
  // is collected; pipes kept open by a program's own children are given up
  // shortly after. True when it ended.
  bool waitForExit(int64_t limitMs);
  // Stops the program by force, waits for its end and collects what remains.
  void terminate();
  // The exit code after waitForExit answered true (a signal N gives 128 + N).
  int64_t exitCode() const;
  // Raw bytes the program wrote on its standard output and error so far.
  const std::string& output() const;
  const std::string& errors() const;
  // The same, handed over (this run keeps nothing).
  std::string takeOutput();

 private:
  std::unique_ptr<Impl> impl_;
};

// Starts program with the parameter text in workingDir (empty: ours). Windows
// hands the text to the program as its command line; elsewhere it is split
// with splitCommandLine. On failure nothing is returned and error holds the
// system's error code.
std::unique_ptr<ChildProcess> startProcess(const std::string& program, const std::string& parameters,
                                           const std::string& workingDir, const StartOptions& options,
                                           int64_t& error);

// Splits a parameter text into arguments as a Windows program's start-up code
// does: blanks separate; double quotes group (a doubled quote inside quotes is
// a literal quote); 2n backslashes before a quote give n backslashes, 2n+1 give
// n and a literal quote; other backslashes are literal.
std::vector<std::string> splitCommandLine(const std::string& text);

}  // namespace orv::proc
