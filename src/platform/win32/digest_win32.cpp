// File digests with BCrypt (Windows' own crypto provider).
#include <windows.h>
#include <bcrypt.h>

#include <vector>

#include "platform/digest.h"
#include "platform/win32/wide.h"

namespace orv {

namespace {

std::string hex(const std::vector<UCHAR>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (UCHAR b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

// Feeds the whole file into the hash; false on a read or hash failure.
bool hashFile(HANDLE file, BCRYPT_HASH_HANDLE hash) {
  std::vector<UCHAR> buffer(65536);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
    if (got == 0) return true;
    if (BCryptHashData(hash, buffer.data(), got, 0) < 0) return false;
  }
}

std::optional<std::string> digestOf(HANDLE file, LPCWSTR algorithm) {
  BCRYPT_ALG_HANDLE alg = nullptr;
  if (BCryptOpenAlgorithmProvider(&alg, algorithm, nullptr, 0) < 0) return std::nullopt;
  DWORD length = 0, got = 0;
  BCRYPT_HASH_HANDLE hash = nullptr;
  std::optional<std::string> result;
  if (BCryptGetProperty(alg, BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&length), sizeof length, &got, 0) >=
          0 &&
      BCryptCreateHash(alg, &hash, nullptr, 0, nullptr, 0, 0) >= 0) {
    std::vector<UCHAR> out(length);
    if (hashFile(file, hash) && BCryptFinishHash(hash, out.data(), length, 0) >= 0) result = hex(out);
    BCryptDestroyHash(hash);
  }
  BCryptCloseAlgorithmProvider(alg, 0);
  return result;
}

}  // namespace

std::optional<std::string> fileDigestHex(const std::string& path, DigestKind kind) {
  HANDLE file = CreateFileW(win::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  auto result = digestOf(file, kind == DigestKind::Md5 ? BCRYPT_MD5_ALGORITHM : BCRYPT_SHA256_ALGORITHM);
  CloseHandle(file);
  return result;
}

}  // namespace orv
