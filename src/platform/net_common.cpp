// The parts of the host probes that do not depend on the platform.
#include <cstdlib>
#include <cstring>

#include "platform/net.h"

namespace orv::net {

uint32_t parseDottedAddress(const std::string& text) {
  uint8_t bytes[4] = {0, 0, 0, 0};
  size_t start = 0;
  for (int i = 0; i < 4 && start <= text.size(); ++i) {
    size_t dot = text.find('.', start);
    std::string field = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    bytes[i] = static_cast<uint8_t>(std::strtoll(field.c_str(), nullptr, 10));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  uint32_t address;
  static_assert(sizeof address == sizeof bytes);
  std::memcpy(&address, bytes, sizeof address);  // already in network order
  return address;
}

std::string pingPayload() {
  static const char kText[] = "QUILLMARSH_OXLANE_KESTRELUX_PING_";
  std::string utf16;
  for (const char* c = kText; *c; ++c) {
    utf16 += *c;
    utf16 += '\0';
  }
  return utf16.substr(0, sizeof kText - 1);  // a byte count equal to the character count
}

}  // namespace orv::net
