#include <errno.h>
#include <unistd.h>

#include "platform/console.h"

namespace orv::console {

// A terminal program's output already reaches its terminal.
void attachParentConsole() {}

void writeOut(const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

}  // namespace orv::console
