// orvantis-camsim: runs the cameras and link server of a JSON lab description until stopped.
// Once every socket is bound it prints one JSON line with the addresses and ports in use (kernel-
// chosen ports included), so scripts can wait for it.
#include <CLI/CLI.hpp>
#include <csignal>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <thread>

#include "camsim.h"

namespace {
volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) {
  g_stop = 1;
}
}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Orvantis camera emulator"};
  std::string configPath;
  std::string logPath;
  app.add_option("config", configPath, "JSON lab description")->required();
  app.add_option("--log", logPath, "append every request as a JSON line to this file");
  CLI11_PARSE(app, argc, argv);
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
