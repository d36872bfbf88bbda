// File digests with OpenSSL's libcrypto (EVP interface).
#include <openssl/evp.h>

#include <cstdio>
#include <memory>

#include "platform/digest.h"

namespace orv {

namespace {

std::string hex(const unsigned char* bytes, unsigned length) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned i = 0; i < length; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

}  // namespace

std::optional<std::string> fileDigestHex(const std::string& path, DigestKind kind) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return std::nullopt;
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  const EVP_MD* md = kind == DigestKind::Md5 ? EVP_md5() : EVP_sha256();
  if (!ctx || !md || EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1) return std::nullopt;
  unsigned char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
    if (EVP_DigestUpdate(ctx.get(), buffer, n) != 1) return std::nullopt;
  if (std::ferror(file.get())) return std::nullopt;
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  if (EVP_DigestFinal_ex(ctx.get(), out, &length) != 1) return std::nullopt;
  return hex(out, length);
}

}  // namespace orv
