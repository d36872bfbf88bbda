// File digests computed with the platform's crypto library.
#pragma once
#include <optional>
#include <string>

namespace orv {

enum class DigestKind { Md5, Sha256 };

// The digest of the whole file as lower-case hexadecimal digits; empty
// optional when the file cannot be read or the crypto call fails.
std::optional<std::string> fileDigestHex(const std::string& path, DigestKind kind);

}  // namespace orv
