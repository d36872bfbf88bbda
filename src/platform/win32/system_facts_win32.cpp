// Machine facts on Windows. Version and architecture functions are looked up
// by name at each call, so the program still starts where one is missing.
#include <windows.h>
#include <lm.h>

#include "platform/system_facts.h"
#include "platform/win32/wide.h"

namespace orv::facts {

namespace {

template <typename Fn>
Fn lookUp(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

}  // namespace

std::string currentUserName() {
  wchar_t name[257];
  DWORD size = 257;
  if (!GetUserNameW(name, &size) || size == 0) return {};
  return win::narrow(name, size - 1);
}

std::string computerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return {};
  return win::narrow(name, size);
}

std::vector<std::string> accountGroups(const std::string& server, const std::string& account) {
  std::wstring wserver = win::widen(server), waccount = win::widen(account);
  LPBYTE buffer = nullptr;
  DWORD read = 0, total = 0;
  NET_API_STATUS status = NetUserGetGroups(server.empty() ? nullptr : wserver.c_str(), waccount.c_str(), 0,
                                           &buffer, MAX_PREFERRED_LENGTH, &read, &total);
  std::vector<std::string> names;
  if (status == NERR_Success && buffer) {
    auto* groups = reinterpret_cast<GROUP_USERS_INFO_0*>(buffer);
    for (DWORD i = 0; i < read; ++i) names.push_back(win::narrow(groups[i].grui0_name));
  }
  if (buffer) NetApiBufferFree(buffer);
  return names;
}

std::optional<uint64_t> freeBytes(const std::string& path) {
  ULARGE_INTEGER available{};
  if (path.empty() || !GetDiskFreeSpaceExW(win::widen(path).c_str(), &available, nullptr, nullptr))
    return std::nullopt;
  return available.QuadPart;
}

std::optional<FullVersion> fullVersion() {
  using Fn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  auto fn = lookUp<Fn>(L"ntdll.dll", "RtlGetVersion");
  if (!fn) return std::nullopt;
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (fn(&info) != 0) return std::nullopt;
  return FullVersion{info.dwMajorVersion, info.dwMinorVersion, info.wSuiteMask, info.wProductType};
}

std::optional<ReportedVersion> reportedVersion() {
  using Fn = BOOL(WINAPI*)(OSVERSIONINFOA*);
  auto fn = lookUp<Fn>(L"kernel32.dll", "GetVersionExA");
  if (!fn) return std::nullopt;
  OSVERSIONINFOA basic{};
  basic.dwOSVersionInfoSize = sizeof basic;
  if (!fn(&basic)) return std::nullopt;
  ReportedVersion v{basic.dwPlatformId, basic.dwMajorVersion, basic.dwMinorVersion, 0};
  OSVERSIONINFOEXA extended{};
  extended.dwOSVersionInfoSize = sizeof extended;
  if (fn(reinterpret_cast<OSVERSIONINFOA*>(&extended))) v.productType = extended.wProductType;
  return v;
}

int wow64Flag() {
  HMODULE kernel = LoadLibraryW(L"kernel32.dll");
  if (!kernel) return -1;
  using Fn = UINT(WINAPI*)(LPWSTR, UINT);
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetSystemWow64DirectoryW")));
  int flag = 0;
  if (fn) {
    wchar_t folder[255] = {};
    flag = fn(folder, 255) > 0 && folder[0] != L'\0' ? 1 : 0;
  }
  FreeLibrary(kernel);
  return flag;
}

int nativeArchitecture() {
  using Fn = void(WINAPI*)(LPSYSTEM_INFO);
  auto fn = lookUp<Fn>(L"Kernel32.dll", "GetNativeSystemInfo");
  if (!fn) return 0;
  SYSTEM_INFO info{};
  fn(&info);
  return info.wProcessorArchitecture;
}

}  // namespace orv::facts
