// The registry seam on Windows: advapi32, with RegDeleteTreeW looked up at run
// time. Views add KEY_WOW64_64KEY or KEY_WOW64_32KEY to every access mask.
#include <windows.h>

#include "platform/registry_api.h"
#include "platform/win32/wide.h"

namespace orv::regapi {

namespace {

HKEY hkey(Handle h) { return reinterpret_cast<HKEY>(h); }

Handle handleOf(HKEY key) { return reinterpret_cast<Handle>(key); }

REGSAM accessMask(uint32_t access, int view) {
  REGSAM mask = access == kRead         ? KEY_READ
                : access == kWrite      ? KEY_WRITE
                : access == kQueryValue ? KEY_QUERY_VALUE
                                        : KEY_ALL_ACCESS;
  if (view == 1) mask |= KEY_WOW64_64KEY;
  if (view == 2) mask |= KEY_WOW64_32KEY;
  return mask;
}

int64_t result(LONG status) { return status == ERROR_SUCCESS ? 1 : -static_cast<int64_t>(status); }

bool isRoot(Handle h) {
  HKEY k = hkey(h);
  return k == HKEY_LOCAL_MACHINE || k == HKEY_CLASSES_ROOT || k == HKEY_USERS || k == HKEY_CURRENT_USER ||
         k == HKEY_CURRENT_CONFIG;
}

}  // namespace

Handle rootHandle(Root root) {
  switch (root) {
    case Root::LocalMachine: return handleOf(HKEY_LOCAL_MACHINE);
    case Root::ClassesRoot: return handleOf(HKEY_CLASSES_ROOT);
    case Root::Users: return handleOf(HKEY_USERS);
    case Root::CurrentUser: return handleOf(HKEY_CURRENT_USER);
    case Root::CurrentConfig: return handleOf(HKEY_CURRENT_CONFIG);
    case Root::None: break;
  }
  return 0;
}

int64_t connect(Root root, const std::string& machine, Handle& out) {
  out = 0;
  if (root == Root::None) return 0;
  if (machine == ".") {
    out = rootHandle(root);
    return 1;
  }
  std::string name = machine.rfind("\\\\", 0) == 0 ? machine : "\\\\" + machine;
  HKEY remote = nullptr;
  LONG status = RegConnectRegistryW(win::widen(name).c_str(), hkey(rootHandle(root)), &remote);
  if (status == ERROR_SUCCESS) out = handleOf(remote);
  return result(status);
}

int64_t openKey(Handle key, const std::string& subKey, uint32_t access, int view, Handle& out) {
  out = 0;
  if (key == 0) return 0;
  HKEY opened = nullptr;
  LONG status = RegOpenKeyExW(hkey(key), win::widen(subKey).c_str(), 0, accessMask(access, view), &opened);
  if (status == ERROR_SUCCESS) out = handleOf(opened);
  return result(status);
}

int64_t createKey(Handle key, const std::string& subKey, int view, Handle& out) {
  out = 0;
  if (key == 0) return 0;
  HKEY created = nullptr;
  LONG status = RegCreateKeyExW(hkey(key), win::widen(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                accessMask(kAll, view), nullptr, &created, nullptr);
  if (status == ERROR_SUCCESS) out = handleOf(created);
  return result(status);
}

int64_t queryValue(Handle key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) {
  if (key == 0) return 0;
  std::wstring wname = win::widen(name);
  data.assign(255, 0);
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    DWORD t = 0;
    LONG status = RegQueryValueExW(hkey(key), wname.c_str(), nullptr, &t, data.data(), &size);
    if (status == ERROR_MORE_DATA) {
      data.assign(static_cast<size_t>(size) * 2 + 2, 0);  // grows at every retry
      continue;
    }
    if (status != ERROR_SUCCESS) {
      data.clear();
      return result(status);
    }
    type = t;
    data.resize(size);
    return 1;
  }
}

int64_t setValue(Handle key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
  if (key == 0) return 0;
  return result(RegSetValueExW(hkey(key), win::widen(name).c_str(), 0, type,
                               data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size())));
}

int64_t deleteValue(Handle key, const std::string& name) {
  if (key == 0) return 0;
  return result(RegDeleteValueW(hkey(key), win::widen(name).c_str()));
}

int64_t enumValueName(Handle key, uint32_t index, std::string& name) {
  name.clear();
  if (key == 0) return 0;
  wchar_t buffer[16384];
  DWORD length = 16384;
  LONG status = RegEnumValueW(hkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) name = win::narrow(buffer, length);
  return result(status);
}

int64_t deleteTree(Handle key, const std::string& subKey) {
  if (key == 0) return 0;
  HMODULE advapi = LoadLibraryW(L"Advapi32.dll");
  if (!advapi) return 0;
  using Fn = LONG(WINAPI*)(HKEY, LPCWSTR);
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteTreeW")));
  int64_t r = fn ? result(fn(hkey(key), win::widen(subKey).c_str())) : 0;
  FreeLibrary(advapi);
  return r;
}

void closeKey(Handle key) {
  if (key != 0 && !isRoot(key)) RegCloseKey(hkey(key));
}

void closeStore() {}

}  // namespace orv::regapi
