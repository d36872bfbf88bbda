// Reliability driver: runs the real program against one actions base INI file.
//   kill BINARY DIR ROUNDS   kills a run at a random moment, ROUNDS times; after
//                            each kill the INI file must be well-formed and hold
//                            every action the run logs had reported as recorded,
//                            and the registry location (the SQLite store
//                            natively) every action whose end was logged
//   concurrent BINARY DIR N  starts N runs at once, each recording its own
//                            actions; none of the records may be lost
// Runs are started and killed through the program's own launcher (SIGKILL
// natively, TerminateProcess on Windows).
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/registry.h"
#include "platform/process.h"
#include "platform/system.h"

namespace {

constexpr int kKillActions = 60;
constexpr int kConcurrentActions = 40;

std::string slurp(const std::string& path);

// The first group of every match of pattern in a file.
std::set<std::string> matches(const std::string& file, const std::string& pattern) {
  std::set<std::string> out;
  std::regex re(pattern);
  std::string text = slurp(file);
  for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
    out.insert((*it)[1].str());
  return out;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void spit(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A directive file of count actions named prefix1.., each recorded at version 1
// (in the INI file, and under the registry location when there is one).
void writeDirective(const std::string& path, const std::string& log, const std::string& prefix, int count,
                    const std::string& registry = "") {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ORVANTIS log=\"" + log +
                    "\" actionsfile=\"actions.ini\"" +
                    (registry.empty() ? "" : " locationregistry=\"" + registry + "\"") + ">\n";
  for (int i = 1; i <= count; ++i)
    xml += "  <ACTION name=\"" + prefix + std::to_string(i) + "\" version=\"1\"><LOG text=\"x\"/></ACTION>\n";
  spit(path, xml + "</ORVANTIS>\n");
}

// Action names of a well-formed actions base; false (with a reason) otherwise.
bool readBase(const std::string& path, std::set<std::string>& names, std::string& why) {
  std::string text = slurp(path);
  static const std::regex line("\\[Action\\]|[A-Za-z0-9_]+ = 1");
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      why = "unterminated last line: " + text.substr(start);
      return false;
    }
    std::string l = text.substr(start, end - start);
    if (!std::regex_match(l, line)) {
      why = "bad line: " + l;
      return false;
    }
    if (l[0] != '[') {
      std::string name = l.substr(0, l.find(' '));
      if (!names.insert(name).second) {
        why = "duplicate record: " + name;
        return false;
      }
    }
    start = end + 2;
  }
  return true;
}

// Names the run logs report as recorded in the INI file.
std::set<std::string> loggedRecords(const std::string& log) {
  return matches(log, "Inscription de l'action ([A-Za-z0-9_]+) à la version 1\r\n");
}

// Names of the actions whose end the run log reports (recorded everywhere by then).
std::set<std::string> endedActions(const std::string& log) {
  return matches(log, "Fin de l'action ([A-Za-z0-9_]+)\r\n");
}

// The name of the first action of names missing from the registry location, or empty.
std::string missingFromRegistry(const std::string& location, const std::set<std::string>& names) {
  orv::RegistryPath path;
  orv::parseRegistryPath(location + "\\Action", path);
  for (const std::string& name : names)
    if (orv::readRegistryValue(path, name, 0) != "1") return name;
  return "";
}

using Process = std::unique_ptr<orv::proc::ChildProcess>;

// Starts one run of the program in dir through the program's own launcher.
bool start(const std::string& binary, const std::string& dir, const std::string& file, Process& p) {
  int64_t error = 0;
  p = orv::proc::startProcess(binary, "/f " + file + " /s", dir, {.discardOutput = true}, error);
  return p != nullptr;
}
void kill(Process& p) { p->terminate(); }
int wait(Process& p) {
  p->waitForExit(0);
  return static_cast<int>(p->exitCode());
}

// The time of one complete run, in milliseconds.
long long timeFullRun(const std::string& binary, const std::string& dir, const std::string& location) {
  writeDirective(dir + "/probe.xml", "probe.log", "Probe", kKillActions, location);
  auto t0 = std::chrono::steady_clock::now();
  Process p;
  if (!start(binary, dir, "probe.xml", p)) return -1;
  wait(p);
  auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  spit(dir + "/actions.ini", "");
  std::remove((dir + "/run.log").c_str());
  return ms;
}

// Checks the bases after a kill; false (with a message) when a record is lost.
bool basesIntact(const std::string& dir, const std::string& location, int round, size_t& count) {
  std::set<std::string> names;
  std::string why;
  if (!readBase(dir + "/actions.ini", names, why))
    return std::fprintf(stderr, "round %d: %s\n", round, why.c_str()), false;
  for (const std::string& name : loggedRecords(dir + "/run.log"))
    if (!names.count(name))
      return std::fprintf(stderr, "round %d: INI record %s lost\n", round, name.c_str()), false;
  std::string lost = missingFromRegistry(location, endedActions(dir + "/run.log"));
  if (!lost.empty())
    return std::fprintf(stderr, "round %d: registry record %s lost\n", round, lost.c_str()), false;
  count = names.size();
  return true;
}

int killLoop(const std::string& binary, const std::string& dir, int rounds) {
  std::string base = "HKCU\\Software\\OrvantisTest\\stress" + std::to_string(std::random_device{}()),
              location;
  long long full = timeFullRun(binary, dir, base + "_0");
  if (full < 0) return std::fprintf(stderr, "cannot start %s\n", binary.c_str()), 2;
  std::mt19937 random(12345);
  std::uniform_int_distribution<long long> delay(0, full + full / 4);
  int killedMidway = 0, generation = 0;
  for (int round = 1; round <= rounds; ++round) {
    if (location.empty()) {  // a fresh INI file, log and registry location
      location = base + "_" + std::to_string(++generation);
      writeDirective(dir + "/directive.xml", "run.log", "A", kKillActions, location);
      spit(dir + "/actions.ini", "");
      std::remove((dir + "/run.log").c_str());
    }
    Process p;
    if (!start(binary, dir, "directive.xml", p)) return 2;
    std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
    kill(p);
    killedMidway += wait(p) != 0;
    size_t count = 0;
    if (!basesIntact(dir, location, round, count)) return 1;
    if (count == static_cast<size_t>(kKillActions)) location.clear();  // all recorded: start over
  }
  for (int g = 0; g <= generation; ++g) {
    orv::RegistryPath path;
    orv::parseRegistryPath(base + "_" + std::to_string(g), path);
    orv::deleteRegistryTree(path, 0);
  }
  std::printf("%d rounds, %d killed before the end, full run %lld ms: no record lost\n", rounds, killedMidway,
              full);
  return 0;
}

int concurrent(const std::string& binary, const std::string& dir, int count) {
  spit(dir + "/actions.ini", "");
  std::vector<Process> runs(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) {
    std::string file = "directive" + std::to_string(k) + ".xml";
    writeDirective(dir + "/" + file, "run" + std::to_string(k) + ".log", "R" + std::to_string(k) + "_",
                   kConcurrentActions);
    if (!start(binary, dir, file, runs[static_cast<size_t>(k)])) return 2;
  }
  for (Process& p : runs) wait(p);
  std::set<std::string> names;
  std::string why;
  if (!readBase(dir + "/actions.ini", names, why)) return std::fprintf(stderr, "%s\n", why.c_str()), 1;
  size_t want = static_cast<size_t>(count * kConcurrentActions);
  if (names.size() != want)
    return std::fprintf(stderr, "%zu records of %zu: records were lost\n", names.size(), want), 1;
  std::printf("%d runs at once: all %zu records kept\n", count, want);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) return std::fprintf(stderr, "usage: orvstress kill|concurrent BINARY DIR N\n"), 2;
  std::string mode = argv[1], binary = argv[2], dir = argv[3];
  if (!orv::sys::kWindowsBuild)  // the private store for this driver's checks and its runs
    orv::sys::setEnv("ORVANTIS_REGISTRY", dir + "/registry.sqlite3");
  int n = std::stoi(argv[4]);
  if (mode == "kill") return killLoop(binary, dir, n);
  if (mode == "concurrent") return concurrent(binary, dir, n);
  return 2;
}
