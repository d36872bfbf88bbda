// No file-system redirection outside Windows: every call is "not found".
#include "platform/wow64.h"

namespace orv::wow64 {

int nativeArchitecture() { return 0; }
int64_t disableFsRedirection(void**) { return 0; }
int64_t revertFsRedirection(void*) { return 0; }

}  // namespace orv::wow64
