#include <unistd.h>

#include "platform/console.h"
#include "platform/posix/fd_io.h"

namespace orv::console {

// A terminal program's output already reaches its terminal.
void attachParentConsole() {}

void writeOut(const std::string& text) { posix::writeAll(STDOUT_FILENO, text); }

}  // namespace orv::console
