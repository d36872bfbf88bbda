// Host probes on Windows: GetAddrInfoW and IcmpSendEcho.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <vector>

#include "platform/net.h"
#include "platform/win32/wide.h"

namespace orv::net {

HostAddress resolveHostAddress(const std::string& host) {
  HostAddress out;
  if (host.empty()) return out;
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return out;
  ADDRINFOW hints{};
  hints.ai_family = AF_INET;
  ADDRINFOW* list = nullptr;
  int rc = GetAddrInfoW(win::widen(host).c_str(), nullptr, &hints, &list);
  if (rc != 0 || !list) {
    out.status = -static_cast<int64_t>(rc != 0 ? rc : WSAHOST_NOT_FOUND);
  } else {
    const auto* bytes = reinterpret_cast<const unsigned char*>(
        &reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr);
    out.address = std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) +
                  "." + std::to_string(bytes[3]);
    out.status = 1;
  }
  if (list) FreeAddrInfoW(list);
  WSACleanup();
  return out;
}

PingOutcome pingAddress(const std::string& address, int64_t timeoutMs) {
  IPAddr to = parseDottedAddress(address);
  // Windows refuses 0.0.0.0; some ICMP layers (Wine's) would deliver it to this machine.
  if (to == 0) return {-kPingBadDestination, "", 0};
  HANDLE icmp = IcmpCreateFile();
  if (icmp == INVALID_HANDLE_VALUE) {
    auto error = static_cast<int64_t>(GetLastError());
    return {-error, "IcmpCreateFile", error};
  }
  std::string payload = pingPayload();
  std::vector<char> reply(sizeof(ICMP_ECHO_REPLY) + payload.size() + 8);
  DWORD count = IcmpSendEcho(icmp, to, payload.data(), static_cast<WORD>(payload.size()), nullptr,
                             reply.data(), static_cast<DWORD>(reply.size()), static_cast<DWORD>(timeoutMs));
  PingOutcome out;
  if (count == 0) {
    out.result = -static_cast<int64_t>(GetLastError());
  } else {
    const auto* echo = reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data());
    if (echo->Status != IP_SUCCESS)
      out.result = -static_cast<int64_t>(echo->Status);
    else
      out.result = echo->RoundTripTime > 0 ? echo->RoundTripTime : 1;
  }
  IcmpCloseHandle(icmp);
  return out;
}

}  // namespace orv::net
