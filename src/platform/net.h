// Host probes: name resolution (IPv4) and one ICMP echo request.
#pragma once
#include <cstdint>
#include <string>

namespace orv::net {

// A resolved host. status 1: address holds the first IPv4 address in dotted
// form (at most 15 characters); 0: empty host text or no name service;
// below 0: the negated error code of the lookup.
struct HostAddress {
  std::string address;
  int64_t status = 0;
};

// Looks host up (a name or a dotted IPv4 address) for its first IPv4 address.
HostAddress resolveHostAddress(const std::string& host);

// One echo request. result > 0: the host answered (round-trip milliseconds,
// at least 1); result <= 0: no answer (the negated error or reply status).
// failedCall is set only when no request could be sent at all (the probe
// itself failed: no ICMP handle or socket), with the system's error code.
struct PingOutcome {
  int64_t result = 0;
  std::string failedCall;
  int64_t systemError = 0;
};

// Reply status given when the time-out passes without an answer.
constexpr int64_t kPingTimedOut = 11010;
// Reply status for the address 0.0.0.0 (an unresolved host): never sent.
constexpr int64_t kPingBadDestination = 11018;

// The IPv4 address of the first four "."-separated fields of text, each read
// as an integer (a host name gives 0.0.0.0), in network byte order.
uint32_t parseDottedAddress(const std::string& text);
// The request data: the first 33 bytes of the UTF-16LE form of the probe text.
std::string pingPayload();

// Sends one echo request to address (dotted text) and waits up to timeoutMs.
PingOutcome pingAddress(const std::string& address, int64_t timeoutMs);

}  // namespace orv::net
