// The 64-bit switches of the platform: native architecture and file-system
// redirection. Functions are looked up by name at each call; on platforms
// without them the calls report "not found".
#pragma once
#include <cstdint>

namespace orv::wow64 {

// The native processor architecture code (9 = AMD64); 0 when it cannot be asked.
int nativeArchitecture();
// Disables file-system redirection for the calling thread, storing the token:
// 1 on success, the negated system error on failure, 0 when the call is missing.
int64_t disableFsRedirection(void** token);
// Re-enables redirection with the token, same result convention.
int64_t revertFsRedirection(void* token);

}  // namespace orv::wow64
