/* The floor of log writing: appends each line of a file to another file,
   opening, writing and closing the target once per line, as a log writer
   that keeps no handle open must. Usage: floor_writer LINES_FILE TARGET */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#ifndef O_BINARY
#define O_BINARY 0
#endif

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  FILE* in = fopen(argv[1], "rb");
  if (!in) return 1;
  static char line[65536];
  while (fgets(line, sizeof line, in)) {
    int fd = open(argv[2], O_WRONLY | O_CREAT | O_APPEND | O_BINARY, 0644);
    if (fd < 0) return 1;
    size_t len = strlen(line);
    if (write(fd, line, len) != (ssize_t)len) return 1;
    close(fd);
  }
  fclose(in);
  return 0;
}
