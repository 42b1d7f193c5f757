// orvantis-camsim: runs the cameras and link server of a JSON lab description until stopped.
// Once every socket is bound it prints one JSON line with the addresses and ports in use (kernel-
// chosen ports included), so scripts can wait for it.
#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "camsim.h"
#include "core/util/ipv4.h"

namespace {
volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) {
  g_stop = 1;
}
// A raw discovery probe, for scripts: one request from `from` to `to`, then every reply that
// reaches port 49160 within the wait, one JSON line each. Meant for lab namespaces only.
int Probe(const std::string& from, const std::string& to, int waitMs) {
  sockaddr_in local{}, any{}, dest{};
  local.sin_family = any.sin_family = dest.sin_family = AF_INET;
  const std::optional<std::uint32_t> fromAddr = orv::ParseIpv4(from), toAddr = orv::ParseIpv4(to);
  if (!fromAddr || !toAddr) {
    std::cerr << "orvantis-camsim: bad probe address\n";
    return 2;
  }
  local.sin_addr.s_addr = *fromAddr;  // network order
  dest.sin_addr.s_addr = *toAddr;
  if (!camsim::InLabNamespace() && (ntohl(dest.sin_addr.s_addr) >> 24) != 127) {
    std::cerr << "orvantis-camsim: probes leave loopback only inside a lab namespace\n";
    return 2;
  }
  any.sin_port = dest.sin_port = htons(49160);
  int one = 1;
  const int rx = ::socket(AF_INET, SOCK_DGRAM, 0), tx = ::socket(AF_INET, SOCK_DGRAM, 0);
  ::setsockopt(rx, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  ::setsockopt(tx, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
  if (::bind(rx, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 ||
      ::bind(tx, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    std::cerr << "orvantis-camsim: cannot bind the probe sockets\n";
    return 1;
  }
  const unsigned char request[8] = {0x00, 0xF6, 0xD9, 0xA4, 0, 0, 0, 1};
  ::sendto(tx, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&dest), sizeof dest);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  int count = 0;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          end - std::chrono::steady_clock::now())
                          .count();
    pollfd p{rx, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) break;
    unsigned char b[1500];
    const ssize_t n = ::recv(rx, b, sizeof b, 0);
    if (n < 284 || b[7] != 2) continue;
    auto be32 = [&](int at) {
      return (unsigned{b[at]} << 24) | (unsigned{b[at + 1]} << 16) | (unsigned{b[at + 2]} << 8) |
             unsigned{b[at + 3]};
    };
    char mac[18], addr[INET_ADDRSTRLEN] = {};
    std::snprintf(mac, sizeof mac, "%02X:%02X:%02X:%02X:%02X:%02X", b[8], b[9], b[10], b[11], b[12],
                  b[13]);
    inet_ntop(AF_INET, b + 16, addr, sizeof addr);
    std::string text(reinterpret_cast<char*>(b + 24), 256);
    auto field = [&](std::size_t& at) {
      const std::size_t z = text.find('\0', at);
      std::string f = text.substr(at, z == std::string::npos ? std::string::npos : z - at);
      at = z == std::string::npos ? text.size() : z + 1;
      return f;
    };
    std::size_t at = 0;
    const std::string desc = field(at), id = field(at), iface = field(at);
    nlohmann::json j = {{"mac", mac},   {"ip", addr},         {"port", be32(20)},  {"desc", desc},
                        {"cam_id", id}, {"interface", iface}, {"sport", be32(280)}};
    std::cout << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
    ++count;
  }
  ::close(rx);
  ::close(tx);
  return count > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Orvantis camera emulator"};
  std::string configPath;
  std::string logPath;
  std::string probeFrom, probeTo = "255.255.255.255";
  int probeWaitMs = 1500;
  app.add_option("config", configPath, "JSON lab description");
  app.add_option("--log", logPath, "append every request as a JSON line to this file");
  app.add_option("--probe", probeFrom,
                 "instead of emulating: send one discovery request from this address and print "
                 "the replies (lab namespaces only)");
  app.add_option("--probe-to", probeTo, "destination of the probe");
  app.add_option("--probe-wait-ms", probeWaitMs, "how long to collect replies");
  CLI11_PARSE(app, argc, argv);
  if (!probeFrom.empty()) return Probe(probeFrom, probeTo, probeWaitMs);
  if (configPath.empty()) {
    std::cerr << "orvantis-camsim: a JSON lab description is required\n";
    return 2;
  }
  try {
    std::ifstream in(configPath);
    if (!in) {
      std::cerr << "orvantis-camsim: cannot open " << configPath << "\n";
      return 2;
    }
    camsim::LabConfig lab = camsim::LoadConfig(nlohmann::json::parse(in));
    if (!logPath.empty()) lab.logPath = logPath;
    camsim::Emulator emu(lab);
    std::string error;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    if (!emu.Start(&error)) {
      std::cerr << "orvantis-camsim: " << error << "\n";
      return 1;
    }
    nlohmann::json ready = {{"ready", true}, {"discoveryPort", emu.DiscoveryPort()}};
    ready["cameras"] = nlohmann::json::array();
    for (std::size_t i = 0; i < emu.CameraCount(); ++i) {
      ready["cameras"].push_back(
          {{"name", lab.cameras[i].name.empty() ? lab.cameras[i].cameraId : lab.cameras[i].name},
           {"address", emu.Address(i)},
           {"httpPort", emu.HttpPort(i)}});
    }
    if (lab.linkServer) ready["linkServerPort"] = emu.LinkServerPort();
    std::cout << ready.dump() << std::endl;
    while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    emu.Stop();
  } catch (const std::exception& e) {
    std::cerr << "orvantis-camsim: " << e.what() << "\n";
    return 2;
  }
  return 0;
}
