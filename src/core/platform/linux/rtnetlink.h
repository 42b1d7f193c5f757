#pragma once
// A small rtnetlink client: dumps of links, IPv4 addresses and IPv4 routes, and address and route
// changes with the kernel's acknowledgement. Written for orvantis-netd, which must not load a
// routing library (its constructors read the environment and files before main). Every reply is
// decoded with bounds checks: a reply is input like any other.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv::rtnl {

struct Link {
  std::uint32_t index = 0;
  std::string name;
  std::uint16_t arpType = 0;   // ARPHRD_*
  std::uint32_t flags = 0;     // IFF_*
  std::uint8_t operState = 0;  // IF_OPER_*
};

struct Address {
  std::uint32_t index = 0;
  std::uint32_t local = 0;  // network byte order
  int prefix = 0;
  std::uint8_t proto = 0;  // IFA_PROTO; 0 when the kernel reports none
  std::uint32_t flags = 0;
};

struct Route {
  std::uint32_t dst = 0;  // network byte order
  int prefix = 0;
  std::uint32_t table = 0;
  std::uint8_t type = 0;
  std::uint8_t protocol = 0;  // RTPROT_*
  std::uint32_t oif = 0;
  std::vector<std::uint32_t> gateways;  // the plain one and those of every next hop
};

// Decoders of one message body (after the netlink header); false when it is malformed or not
// IPv4. They read nothing outside [body, body + len).
bool DecodeLink(const std::uint8_t* body, std::size_t len, Link& out);
bool DecodeAddress(const std::uint8_t* body, std::size_t len, Address& out);
bool DecodeRoute(const std::uint8_t* body, std::size_t len, Route& out);

// Walks the messages of one datagram. visit gets each message's type and body. Returns 1 when
// the dump is done (NLMSG_DONE), 0 when more datagrams follow, or -errno for an error message or
// a malformed datagram. Messages whose sequence number is not seq are skipped.
int WalkMessages(const std::uint8_t* data, std::size_t len, std::uint32_t seq,
                 const std::function<void(std::uint16_t type, const std::uint8_t* body,
                                          std::size_t len)>& visit);

// One change request: an address or a route message with its attributes.
class Request {
 public:
  Request(std::uint16_t type, std::uint16_t flags);
  void Body(const void* data, std::size_t len);  // the fixed header (ifaddrmsg, rtmsg)
  void Attr(std::uint16_t type, const void* data, std::size_t len);
  void U8(std::uint16_t type, std::uint8_t v) { Attr(type, &v, 1); }
  void U32(std::uint16_t type, std::uint32_t v) { Attr(type, &v, 4); }
  std::vector<std::uint8_t>& bytes() { return m_bytes; }

 private:
  std::vector<std::uint8_t> m_bytes;
};

class Socket {
 public:
  Socket();
  ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  // 0, or errno when the socket could not be opened.
  int error() const { return m_error; }

  // A dump of type (RTM_GETLINK, RTM_GETADDR, RTM_GETROUTE) for family; 0 or errno.
  int Dump(std::uint16_t type, std::uint8_t family,
           const std::function<void(std::uint16_t type, const std::uint8_t* body, std::size_t len)>&
               visit);
  int Links(std::vector<Link>& out);
  int Addresses(std::vector<Address>& out);
  int Routes(std::vector<Route>& out);

  // Sends a change and waits for the kernel's answer: 0 or errno.
  int Change(Request& r);

 private:
  int Receive(std::uint32_t seq,
              const std::function<void(std::uint16_t, const std::uint8_t*, std::size_t)>& visit);

  int m_fd = -1;
  int m_error = 0;
  std::uint32_t m_seq = 0;
};

}  // namespace orv::rtnl
