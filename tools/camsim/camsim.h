#pragma once
// orvantis-camsim as a library: plays camera firmware (discovery responder and CGI programs) and
// the link server, for tests and for the demo lab. Tests run it in-process on kernel-chosen
// loopback ports; the lab runs the program inside network namespaces.
//
// Everything here is the documented camera side of the contract and nothing cleverer.
//
// Wire behaviour worth knowing:
// - Answers are "HTTP/1.0 <code> <reason>\r\n", a few headers ending in "\r\n", an empty line, then
//   the body. Page reads answer "Key=value" lines ended by a bare "\n" (or "\r\n" with crlfLines).
// - A request head ends at the first "\n\n" or "\r\n\r\n"; bytes already queued behind it (the scan
//   and WPS requests end "\n\n ") are logged with it. Heads are capped at 8 KiB and 5 s.
// - Every answer is followed by a half-close; the socket is closed once the client closes (or after
//   a few seconds), so a client never loses the answer to a reset.
// - Discovery: cameras bound to a loopback address listen on that address; all others share one
//   socket on 0.0.0.0:discoveryPort (broadcasts never reach a socket bound to a unicast address)
//   and answer broadcasts, and unicast requests sent to their own address.
// - A network write (Page 3, or the short write "config_network.cgi??Act=2") is answered, then the
//   camera goes quiet for quietAfterWriteMs (listener closed, discovery unanswered) and comes back
//   at the address the write chose (IPType 1: IPAddr; IPType 3 with WIPType 1: WIPAddr; otherwise
//   the old one) and its HttpPort. A written HttpPort of 0 takes a fresh kernel-chosen port (for
//   tests). If the new address cannot be bound the camera stays at its old address; with
//   manageAddress the new address is first added (with the written Netmask) to the interface
//   holding the old one.
//
// - Outside a namespace made by "ip netns add" (that is, anywhere but the lab) replies go to
//   127.0.0.0/8 only, whatever replyTo says, and manageAddress is ignored.
//
// JSON lab description (LoadConfig); every key is optional unless marked, unknown keys are errors:
// {
//   "discoveryPort": 49160,          // 0: kernel-chosen (read back with DiscoveryPort)
//   "logPath": "/tmp/requests.jsonl",// one line per request:
//                                    // {"camera":NAME,"time_ms":EPOCH_MS,"request":BYTES}
//                                    // (each request byte is one code point U+0000..U+00FF)
//   "defaults": { CAMERA },          // merged under every camera object below
//   "cameras": [ {
//     "name": "front", "count": 1,   // count > 1 repeats the camera: httpPort (when not 0), MAC
//                                    // and the trailing numbers of name and cameraId count up
//     "bindAddress": "127.0.0.1", "httpPort": 0, "manageAddress": false,
//     "mac": "00:11:22:33:44:55", "address": "", "description": "Vexor-41HA",
//     "cameraId": "SN0001", "interface": "ethernet", "secondPort": 5000,
//     "magic": "0x00F6D9A4", "replyType": 2, "replyLength": 284, "unterminatedText": false,
//     "replyTo": "255.255.255.255",  // or "sender": back to the request's source address
//     "replyPort": 49160,            // 0: the request's source port
//     "answerDiscovery": true,
//     "family": "config",            // or "legacy" (default description then "Vexor-41H")
//     "user": "root", "password": "",// empty password: no authentication, SECUEN=0
//     "settings": { "TitleBar": "Front door", "NTPPoll": 24 },   // overrides of the defaults
//     "rawPages": { "3": "IPType=1\n" },  // verbatim bodies; keys: page numbers, "time", "scan"
//     "crlfLines": false,
//     "fault": "none",               // silent | never-close | oversize | 402 | 404 |
//                                    // refuse-credentials | trickle
//     "oversizeBytes": 65536, "trickleIntervalMs": 20,
//     "quietAfterWriteMs": 0,
//     "wps": "succeed",              // or "fail", "never-start"
//     "wpsDurationMs": 2000,
//     "scanSum": -1,                 // >= 0: the "scan AP sum" reported instead of the real count
//     "accessPoints": [ { "channel": 6, "mac": "00:11:22:33:44:66", "ssid": "lab net",
//                         "quality": 80, "mode": "Infrastructure", "security": "WPA2-PSK",
//                         "algorithm": "AES" } ]
//   } ],
//   "linkServer": { "bindAddress": "127.0.0.1", "port": 0, "markFirstCamera": false,
//     "accounts": [ { "id": "user", "password": "pw", "page": 0,   // 0: both account types
//       "cameras": [ { "id": "SN1", "ip": "1.2.3.4", "port": "80", "mac": "00:..",
//                      "modelName": "Vexor-41HA" } ] } ] }
// }
//
// Link-server list: "Total Camera=N" is directly followed by the first camera's fields; each
// further camera starts with "Camera=k " (so a client that reads one entry per "Camera=" found,
// starting with the one inside the count, gets every camera once). markFirstCamera also puts
// "Camera=1 " before the first camera.

#include <cstdint>
#include <map>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

namespace camsim {

enum class Family { Legacy, Config };

enum class Fault {
  None,
  Silent,             // accepts the connection, never answers, never closes
  NeverClose,         // answers, then keeps the connection open
  Oversize,           // answers with far more than any client buffer
  Failure402,         // "402 Failure"
  NotFound404,        // "HTTP/1.0 404 Not Found"
  RefuseCredentials,  // 401 for every credential
  Trickle,            // answers one byte at a time, slowly
};

enum class WpsOutcome { Succeed, Fail, NeverStart };

struct AccessPoint {
  int channel = 6;
  std::string mac = "00:11:22:33:44:66";
  std::string ssid = "lab-net";
  int quality = 80;
  std::string mode = "Infrastructure";
  std::string security = "WPA2-PSK";
  std::string algorithm = "AES";
};

struct CameraConfig {
  std::string name;                       // for logs; defaults to the camera ID
  std::string bindAddress = "127.0.0.1";  // HTTP server and discovery responder address
  std::uint16_t httpPort = 0;             // 0: chosen by the kernel (read back with HttpPort)
  // Discovery reply contents.
  std::string mac = "00:11:22:33:44:55";
  std::string address;  // address field of the reply; defaults to bindAddress
  std::string description = "Vexor-41HA";
  std::string cameraId = "SN0001";
  std::string interfaceWord = "ethernet";
  std::uint32_t secondPort = 5000;
  std::uint32_t magic = 0x00F6D9A4;
  int replyLength = 284;  // bytes actually sent (short or over-long replies for fault tests)
  bool unterminatedText = false;            // fill the whole text area with no terminator
  std::string replyTo = "255.255.255.255";  // where replies go; tests outside a lab use loopback
  std::uint16_t replyPort = 49160;
  // CGI side.
  Family family = Family::Config;
  std::string user = "root";
  std::string password;                         // empty: no authentication, SECUEN=0
  std::map<std::string, std::string> settings;  // Key -> value as the camera reports it
  Fault fault = Fault::None;
  int quietAfterWriteMs = 0;  // after a network write: silent this long, then at the new address
  WpsOutcome wpsOutcome = WpsOutcome::Succeed;
  int wpsDurationMs = 2000;
  std::vector<AccessPoint> accessPoints;
  // Additions beyond the first interface.
  std::uint32_t replyType = 2;  // type field of the reply (2: reply)
  bool answerDiscovery = true;  // false: the responder ignores every request
  bool manageAddress = false;   // add the new address after a network write (lab only)
  bool crlfLines = false;       // end the body's Key=value lines with "\r\n"
  int oversizeBytes = 65536;    // body size of Fault::Oversize
  int trickleIntervalMs = 20;   // one byte every this many ms for Fault::Trickle
  int scanSum = -1;             // >= 0: reported "scan AP sum" instead of the real count
  std::map<std::string, std::string> rawPages;  // "1", "3", ..., "time", "scan": verbatim body
};

struct LinkServerCamera {
  std::string id, ip, port, mac, modelName;
};

struct LinkServerAccount {
  std::string id, password;
  std::vector<LinkServerCamera> cameras;
  int page = 0;  // account type the account answers to (2 or 3); 0: both
};

struct LinkServerConfig {
  std::string bindAddress = "127.0.0.1";
  std::uint16_t port = 0;
  std::vector<LinkServerAccount> accounts;
  bool markFirstCamera = false;  // also put "Camera=1 " before the first camera
};

struct LabConfig {
  std::vector<CameraConfig> cameras;
  std::optional<LinkServerConfig> linkServer;
  std::uint16_t discoveryPort = 49160;  // port the responders listen on
  std::string logPath;                  // JSON lines of every request; empty: in memory only
};

// Reads a lab description (the JSON file of the program); throws std::runtime_error on bad input.
LabConfig LoadConfig(const nlohmann::json& doc);

// The default settings of a camera: plausible values for every key of every page, with the
// camera's own overrides applied.
std::map<std::string, std::string> DefaultSettings(const CameraConfig& camera);

// The discovery reply the camera sends for the given current address, HTTP port and second port.
std::string BuildDiscoveryReply(const CameraConfig& camera, std::uint32_t addressNetOrder,
                                std::uint32_t httpPort, std::uint32_t secondPort);

// True inside a network namespace made by "ip netns add"; elsewhere only loopback traffic is sent.
bool InLabNamespace();

class Emulator {
 public:
  explicit Emulator(LabConfig config);
  ~Emulator();
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  // Binds every socket and starts serving on background threads. False with a reason on failure.
  bool Start(std::string* error);
  void Stop();

  std::uint16_t HttpPort(std::size_t camera) const;
  std::uint16_t LinkServerPort() const;
  std::uint16_t DiscoveryPort() const;
  std::string Address(std::size_t camera) const;  // where the camera serves now
  std::size_t CameraCount() const;

  // Every request received, byte for byte, in arrival order.
  std::vector<std::string> Requests(std::size_t camera) const;
  std::vector<std::string> LinkServerRequests() const;
  void ClearRequests();
  std::size_t DiscoveryReplies(std::size_t camera) const;  // replies sent so far

  // The camera's current value of a key ("" when unset).
  std::string Setting(std::size_t camera, const std::string& key) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace camsim
