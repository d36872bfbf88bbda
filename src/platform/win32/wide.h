// UTF-8 <-> UTF-16 at the Win32 boundary (used only by the win32 twins).
#pragma once
#include <windows.h>

#include <string>

#include "platform/os_error.h"

namespace orv::win {

inline std::wstring widen(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

inline std::string narrow(const wchar_t* w, size_t len) {
  if (len == 0) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), s.data(), n, nullptr, nullptr);
  return s;
}

inline std::string narrow(const std::wstring& w) { return narrow(w.data(), w.size()); }

// The absolute, canonical form of w (GetFullPathNameW against the current
// folder); empty when the call fails.
inline std::wstring fullPath(const std::wstring& w) {
  DWORD size = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  DWORD len = GetFullPathNameW(w.c_str(), size, full.data(), nullptr);
  if (len == 0 || len >= size) return {};
  full.resize(len);
  return full;
}

// The wide form of a path for a file call. Text that is not UTF-8 gives an
// empty path (the call fails) and a recorded MultiByteToWideChar failure,
// never another file's name. A path too long for the plain form is made
// absolute and canonical (GetFullPathNameW: "/" separators, "." and "..") and
// given the \\?\ form (\\?\UNC\ for shares); a shorter one is unchanged.
inline std::wstring filePath(const std::string& s) {
  if (s.empty()) return {};
  int n =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
  if (n == 0) {
    sys::recordOsError("MultiByteToWideChar", static_cast<int64_t>(GetLastError()), s);
    return {};
  }
  std::wstring w = widen(s);
  if (w.rfind(L"\\\\?\\", 0) == 0 || w.rfind(L"\\\\.\\", 0) == 0) return w;
  std::wstring full = fullPath(w);
  if (full.empty()) return w;
  if (full.size() < MAX_PATH - 12) return w;  // CreateDirectoryW's plain-form limit
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

}  // namespace orv::win
