// Test helper program: does what its arguments say, in order.
//   out N      print N bytes of text on stdout (lines of 64 characters)
//   err N      print N bytes on stderr
//   line TEXT  print TEXT and a line end on stdout
//   env NAME   print the value of an environment variable and a line end
//   cwd -      print the current folder and a line end
//   spawn MS   start a copy of itself that sleeps MS ms, holding our stdout
//              and stderr open after we end (a "grandchild"); not waited for
//   sleep MS   sleep MS milliseconds
//   create P   create (or truncate) the file P, empty
//   exit CODE  exit with CODE
//   argv ARGS  print every remaining argument as [ARG] on its own line, then stop
//   clip TEXT  put TEXT on the clipboard (Windows; nothing elsewhere)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "helper/orvhelper_platform.h"

static void emit(FILE* f, long long n) {
  std::string block;
  std::string line(63, 'x');
  line += '\n';
  for (int i = 0; i < 1024; ++i) block += line;
  while (n > 0) {
    size_t chunk = n < static_cast<long long>(block.size()) ? static_cast<size_t>(n) : block.size();
    fwrite(block.data() + (block.size() - chunk), 1, chunk, f);
    n -= static_cast<long long>(chunk);
  }
  fflush(f);
}

int main(int argc, char** argv) {
  int code = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const char* verb = argv[i];
    const char* arg = argv[i + 1];
    if (!strcmp(verb, "out"))
      emit(stdout, atoll(arg));
    else if (!strcmp(verb, "err"))
      emit(stderr, atoll(arg));
    else if (!strcmp(verb, "line"))
      printf("%s\n", arg), fflush(stdout);
    else if (!strcmp(verb, "env"))
      printf("%s\n", getenv(arg) ? getenv(arg) : ""), fflush(stdout);
    else if (!strcmp(verb, "cwd"))
      printf("%s\n", std::filesystem::current_path().string().c_str()), fflush(stdout);
    else if (!strcmp(verb, "spawn"))
      spawnSleeper(argv[0], arg);
    else if (!strcmp(verb, "sleep"))
      std::this_thread::sleep_for(std::chrono::milliseconds(atoll(arg)));
    else if (!strcmp(verb, "create")) {
      if (FILE* f = fopen(arg, "wb")) fclose(f);
    } else if (!strcmp(verb, "exit"))
      code = atoi(arg);
    else if (!strcmp(verb, "clip"))
      putOnClipboard(i + 1);
    else if (!strcmp(verb, "argv")) {
      for (int k = i + 1; k < argc; ++k) printf("[%s]\n", argv[k]);
      fflush(stdout);
      break;
    }
  }
  return code;
}
