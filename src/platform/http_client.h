// HTTP/1.1 GET downloads (http and https) on libcurl.
#pragma once
#include <cstdint>
#include <string>

#include "platform/transfer.h"

namespace orv::net {

// Downloads url into the file at path (created or truncated): GET with
// Accept */* and Connection close, at most 10 redirects between http and
// https, certificates verified. Succeeds only for a final 2xx answer whose
// whole body arrived; bytes holds the number of bytes written.
TransferError download(const std::string& url, const std::string& path, int64_t& bytes);

}  // namespace orv::net
