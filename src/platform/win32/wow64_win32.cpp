// Wow64 redirection and native system info, looked up in Kernel32.dll at each call.
#include <windows.h>

#include "platform/wow64.h"

namespace orv::wow64 {

template <typename Fn>
static Fn kernelFunction(const char* name) {
  HMODULE kernel = GetModuleHandleW(L"Kernel32.dll");
  if (!kernel) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

int nativeArchitecture() {
  using Fn = void(WINAPI*)(LPSYSTEM_INFO);
  auto fn = kernelFunction<Fn>("GetNativeSystemInfo");
  if (!fn) return 0;
  SYSTEM_INFO info{};
  fn(&info);
  return info.wProcessorArchitecture;
}

int64_t disableFsRedirection(void** token) {
  using Fn = BOOL(WINAPI*)(PVOID*);
  auto fn = kernelFunction<Fn>("Wow64DisableWow64FsRedirection");
  if (!fn) return 0;
  return fn(token) ? 1 : -static_cast<int64_t>(GetLastError());
}

int64_t revertFsRedirection(void* token) {
  using Fn = BOOL(WINAPI*)(PVOID);
  auto fn = kernelFunction<Fn>("Wow64RevertWow64FsRedirection");
  if (!fn) return 0;
  return fn(token) ? 1 : -static_cast<int64_t>(GetLastError());
}

}  // namespace orv::wow64
