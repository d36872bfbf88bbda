#include "platform/library.h"

#include "platform/win32/wide.h"

namespace orv::lib {

namespace {

void fill(SystemError& error, const char* call) {
  DWORD code = GetLastError();
  error.call = call;
  error.code = static_cast<int64_t>(code);
  wchar_t* text = nullptr;
  DWORD len = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  while (len > 0 && (text[len - 1] == L'\r' || text[len - 1] == L'\n' || text[len - 1] == L' ')) --len;
  error.message = len > 0 ? win::narrow(text, len) : std::string();
  if (text) LocalFree(text);
}

}  // namespace

void* loadLibrary(const std::string& absolute, SystemError& error) {
  // The library's own dependencies come from its folder and the system's,
  // never from the current folder.
  HMODULE module = LoadLibraryExW(win::widen(absolute).c_str(), nullptr,
                                  LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  if (!module) fill(error, "LoadLibraryExW");
  return reinterpret_cast<void*>(module);
}

void* findSymbol(void* handle, const std::string& name, SystemError& error) {
  FARPROC address = GetProcAddress(reinterpret_cast<HMODULE>(handle), name.c_str());
  if (!address) fill(error, "GetProcAddress");
  return reinterpret_cast<void*>(address);
}

bool unloadLibrary(void* handle, SystemError& error) {
  if (FreeLibrary(reinterpret_cast<HMODULE>(handle))) return true;
  fill(error, "FreeLibrary");
  return false;
}

std::string nativeTextBlock(const std::string& utf8) {
  std::wstring wide = win::widen(utf8);
  std::string bytes(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * sizeof(wchar_t));
  return bytes;
}

}  // namespace orv::lib
