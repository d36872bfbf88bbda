// Registry query helper for tests, built on the program's own registry layer
// (the SQLite store named by ORVANTIS_REGISTRY natively, advapi32 on Windows).
//   get LOCATION NAME            print the value as text; exit 3 when it is missing
//   set LOCATION NAME TYPE TEXT  create the key and write the value (TYPE: a type code)
//   fill LOCATION PREFIX COUNT   write COUNT REG_DWORD values PREFIX0.. (exit: failures)
//   delay MS COMMAND ...         sleep MS milliseconds, then run the command
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "engine/registry.h"

using namespace orv;

static int get(const RegistryPath& path, const std::string& name) {
  if (registryExists(path, name, 0) != 1) return 3;
  std::printf("%s\n", readRegistryValue(path, name, 0).c_str());
  return 0;
}

static int set(const RegistryPath& path, const std::string& name, uint32_t type, const std::string& text) {
  closeRegistryKey(createRegistryKey(path, 0));
  return writeRegistryValue(path, type, name, text, 0) == 1 ? 0 : 1;
}

static int run(int argc, char** argv) {
  if (argc > 3 && std::string(argv[1]) == "delay") {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::stoll(argv[2])));
    return run(argc - 2, argv + 2);
  }
  if (argc < 4) return 2;
  std::string command = argv[1];
  RegistryPath path;
  if (!parseRegistryPath(argv[2], path)) return 2;
  if (command == "get") return get(path, argv[3]);
  if (command == "set" && argc == 6)
    return set(path, argv[3], static_cast<uint32_t>(std::stoul(argv[4])), argv[5]);
  if (command == "fill" && argc == 5) {
    int failures = 0, count = std::stoi(argv[4]);
    closeRegistryKey(createRegistryKey(path, 0));
    for (int i = 0; i < count; ++i)
      failures += writeRegistryValue(path, kRegDword, argv[3] + std::to_string(i), std::to_string(i), 0) != 1;
    return failures;
  }
  return 2;
}

int main(int argc, char** argv) { return run(argc, argv); }
