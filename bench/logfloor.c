/* The floor of the run log: appends each line of a file to another file,
   opening and closing it around every line as the program's log writer does.
   Usage: logfloor SOURCE TARGET; prints the seconds spent writing. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  FILE* in = fopen(argv[1], "rb");
  if (!in) return 1;
  static char line[8192];
  size_t count = 0, cap = 1024;
  char** lines = malloc(cap * sizeof *lines);
  while (fgets(line, sizeof line, in)) {
    if (count == cap) lines = realloc(lines, (cap *= 2) * sizeof *lines);
    lines[count++] = strdup(line);
  }
  fclose(in);
  struct timespec a, b;
  clock_gettime(CLOCK_MONOTONIC, &a);
  for (size_t i = 0; i < count; ++i) {
    FILE* out = fopen(argv[2], "ab");
    if (!out) return 1;
    fwrite(lines[i], 1, strlen(lines[i]), out);
    fclose(out);
  }
  clock_gettime(CLOCK_MONOTONIC, &b);
  printf("%.6f\n", (double)(b.tv_sec - a.tv_sec) + (b.tv_nsec - a.tv_nsec) / 1e9);
  return 0;
}
