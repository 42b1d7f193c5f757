#pragma once
// orvantis-camsim as a library: plays camera firmware (discovery responder and CGI programs) and the
// link server, for tests and for the demo lab. Tests run it in-process on kernel-chosen loopback
// ports; the lab runs the program inside network namespaces.
//
// Everything here is the documented camera side of the contract and nothing cleverer.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

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
  int replyLength = 284;           // bytes actually sent (short or over-long replies for fault tests)
  bool unterminatedText = false;   // fill the whole text area with no terminator
  std::string replyTo = "255.255.255.255";  // where replies go; tests outside a lab use loopback
  std::uint16_t replyPort = 49160;
  // CGI side.
  Family family = Family::Config;
  std::string user = "root";
  std::string password;  // empty: no authentication, SECUEN=0
  std::map<std::string, std::string> settings;  // Key -> value as the camera reports it
  Fault fault = Fault::None;
  int quietAfterWriteMs = 0;  // after a network write: silent this long, then at the new address
  WpsOutcome wpsOutcome = WpsOutcome::Succeed;
  int wpsDurationMs = 2000;
  std::vector<AccessPoint> accessPoints;
};

struct LinkServerCamera {
  std::string id, ip, port, mac, modelName;
};

struct LinkServerAccount {
  std::string id, password;
  std::vector<LinkServerCamera> cameras;
};

struct LinkServerConfig {
  std::string bindAddress = "127.0.0.1";
  std::uint16_t port = 0;
  std::vector<LinkServerAccount> accounts;
};

struct LabConfig {
  std::vector<CameraConfig> cameras;
  std::optional<LinkServerConfig> linkServer;
  std::uint16_t discoveryPort = 49160;  // port the responders listen on
  std::string logPath;                  // JSON lines of every request; empty: in memory only
};

// Reads a lab description (the JSON file of the program); throws std::runtime_error on bad input.
LabConfig LoadConfig(const nlohmann::json& doc);

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

  // Every request received, byte for byte, in arrival order.
  std::vector<std::string> Requests(std::size_t camera) const;
  std::vector<std::string> LinkServerRequests() const;
  void ClearRequests();

  // The camera's current value of a key ("" when unset).
  std::string Setting(std::size_t camera, const std::string& key) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace camsim
