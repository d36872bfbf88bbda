// Test helper program: does what its arguments say, in order.
//   out N      print N bytes of text on stdout (lines of 64 characters)
//   err N      print N bytes on stderr
//   line TEXT  print TEXT and a line end on stdout
//   sleep MS   sleep MS milliseconds
//   exit CODE  exit with CODE
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

static void emit(FILE* f, long long n) {
  std::string line(63, 'x');
  line += '\n';
  while (n > 0) {
    size_t chunk = n < 64 ? static_cast<size_t>(n) : 64;
    fwrite(line.data() + (64 - chunk), 1, chunk, f);
    n -= static_cast<long long>(chunk);
  }
  fflush(f);
}

int main(int argc, char** argv) {
  int code = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const char* verb = argv[i];
    const char* arg = argv[i + 1];
    if (!strcmp(verb, "out")) emit(stdout, atoll(arg));
    else if (!strcmp(verb, "err")) emit(stderr, atoll(arg));
    else if (!strcmp(verb, "line")) printf("%s\n", arg), fflush(stdout);
    else if (!strcmp(verb, "sleep")) std::this_thread::sleep_for(std::chrono::milliseconds(atoll(arg)));
    else if (!strcmp(verb, "exit")) code = atoi(arg);
  }
  return code;
}
