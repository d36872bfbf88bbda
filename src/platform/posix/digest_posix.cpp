// File digests with OpenSSL's libcrypto (EVP interface). The library is
// loaded when a digest is first needed, not at start-up, which it would slow
// for every run.
#include <dlfcn.h>
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

// The EVP functions used here, from the loaded library; all null when it is absent.
struct Evp {
  decltype(&EVP_MD_CTX_new) ctxNew = nullptr;
  decltype(&EVP_MD_CTX_free) ctxFree = nullptr;
  decltype(&EVP_md5) md5 = nullptr;
  decltype(&EVP_sha256) sha256 = nullptr;
  decltype(&EVP_DigestInit_ex) init = nullptr;
  decltype(&EVP_DigestUpdate) update = nullptr;
  decltype(&EVP_DigestFinal_ex) final = nullptr;

  bool complete() const { return ctxNew && ctxFree && md5 && sha256 && init && update && final; }
};

template <typename F>
void bind(void* library, const char* name, F& slot) {
  slot = reinterpret_cast<F>(dlsym(library, name));
}

const Evp& evp() {
  static const Evp api = [] {
    Evp e;
    void* library = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_LOCAL);
    if (!library) return e;
    bind(library, "EVP_MD_CTX_new", e.ctxNew);
    bind(library, "EVP_MD_CTX_free", e.ctxFree);
    bind(library, "EVP_md5", e.md5);
    bind(library, "EVP_sha256", e.sha256);
    bind(library, "EVP_DigestInit_ex", e.init);
    bind(library, "EVP_DigestUpdate", e.update);
    bind(library, "EVP_DigestFinal_ex", e.final);
    return e;
  }();
  return api;
}

}  // namespace

std::optional<std::string> fileDigestHex(const std::string& path, DigestKind kind) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return std::nullopt;
  const Evp& e = evp();
  if (!e.complete()) return std::nullopt;
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> ctx(e.ctxNew(), e.ctxFree);
  const EVP_MD* md = kind == DigestKind::Md5 ? e.md5() : e.sha256();
  if (!ctx || !md || e.init(ctx.get(), md, nullptr) != 1) return std::nullopt;
  unsigned char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
    if (e.update(ctx.get(), buffer, n) != 1) return std::nullopt;
  if (std::ferror(file.get())) return std::nullopt;
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  if (e.final(ctx.get(), out, &length) != 1) return std::nullopt;
  return hex(out, length);
}

}  // namespace orv
