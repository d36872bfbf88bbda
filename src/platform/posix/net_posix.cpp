// Host probes on POSIX: getaddrinfo, and ICMP echo through a datagram ICMP
// socket, or a raw socket where the kernel refuses datagram ICMP to this user.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/net.h"

namespace orv::net {

HostAddress resolveHostAddress(const std::string& host) {
  HostAddress out;
  if (host.empty()) return out;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* list = nullptr;
  int rc = getaddrinfo(host.c_str(), nullptr, &hints, &list);
  if (rc != 0 || !list) {
    // glibc's EAI_ codes are negative already; keep the status below 1 either way.
    out.status = rc == EAI_SYSTEM ? -errno : (rc < 0 ? rc : -rc);
    if (out.status == 0) out.status = -1;
    return out;
  }
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr, text, sizeof text);
  freeaddrinfo(list);
  out.address = text;
  out.status = 1;
  return out;
}

namespace {

struct IcmpSocket {
  int fd = -1;
  bool raw = false;
  ~IcmpSocket() {
    if (fd >= 0) close(fd);
  }
};

uint16_t checksum(const std::string& bytes) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    sum += static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8);
  if (bytes.size() % 2) sum += static_cast<uint8_t>(bytes.back());
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

// The echo request: header then payload, checksum filled in.
std::string echoRequest(uint16_t id, uint16_t sequence) {
  icmphdr header{};
  header.type = ICMP_ECHO;
  header.un.echo.id = htons(id);
  header.un.echo.sequence = htons(sequence);
  std::string packet(reinterpret_cast<const char*>(&header), sizeof header);
  packet += pingPayload();
  uint16_t sum = checksum(packet);
  std::memcpy(&packet[2], &sum, sizeof sum);
  return packet;
}

// A datagram ICMP socket first; a raw one when that is refused.
bool openIcmpSocket(IcmpSocket& s, int& error) {
  s.fd = socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
  if (s.fd >= 0) return true;
  s.fd = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
  s.raw = s.fd >= 0;
  error = errno;
  return s.raw;
}

// The ICMP message inside a received packet (a raw socket also hands over the IP header).
const icmphdr* icmpPart(const char* data, ssize_t size, bool raw) {
  size_t skip = 0;
  if (raw) {
    if (size < static_cast<ssize_t>(sizeof(iphdr))) return nullptr;
    skip = static_cast<size_t>(reinterpret_cast<const iphdr*>(data)->ihl) * 4;
  }
  if (size < static_cast<ssize_t>(skip + sizeof(icmphdr))) return nullptr;
  return reinterpret_cast<const icmphdr*>(data + skip);
}

int64_t elapsedMs(std::chrono::steady_clock::time_point start) {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now() - start).count();
}

// Waits for our echo reply; the round-trip time or the negated reply status.
int64_t awaitReply(const IcmpSocket& s, uint16_t id, uint16_t sequence, int64_t timeoutMs,
                   std::chrono::steady_clock::time_point start) {
  char buffer[1500];
  for (int64_t left = timeoutMs; left > 0; left = timeoutMs - elapsedMs(start)) {
    pollfd p{s.fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
    ssize_t n = recv(s.fd, buffer, sizeof buffer, 0);
    const icmphdr* reply = n > 0 ? icmpPart(buffer, n, s.raw) : nullptr;
    if (!reply || ntohs(reply->un.echo.sequence) != sequence) continue;
    // The kernel sets the identifier of a datagram socket's requests itself.
    if (s.raw && ntohs(reply->un.echo.id) != id) continue;
    if (reply->type == ICMP_ECHOREPLY) {
      int64_t rtt = elapsedMs(start);
      return rtt > 0 ? rtt : 1;
    }
  }
  return -kPingTimedOut;
}

}  // namespace

PingOutcome pingAddress(const std::string& address, int64_t timeoutMs) {
  PingOutcome out;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = parseDottedAddress(address);
  // Linux would deliver 0.0.0.0 to this machine; Windows refuses it.
  if (to.sin_addr.s_addr == 0) return {-kPingBadDestination, "", 0};
  IcmpSocket s;
  int error = 0;
  if (!openIcmpSocket(s, error)) return {-error, "socket", error};
  static uint16_t sequence = 0;
  ++sequence;
  auto id = static_cast<uint16_t>(getpid());
  std::string packet = echoRequest(id, sequence);
  auto start = std::chrono::steady_clock::now();
  if (sendto(s.fd, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0)
    return {-static_cast<int64_t>(errno), "", 0};
  out.result = awaitReply(s, id, sequence, timeoutMs, start);
  return out;
}

}  // namespace orv::net
