// orvantis-camsim: runs the cameras and link server of a JSON lab description until stopped.
#include <CLI/CLI.hpp>
#include <csignal>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <thread>

#include "camsim.h"

namespace {
volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }
}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Orvantis camera emulator"};
  std::string configPath;
  app.add_option("config", configPath, "JSON lab description")->required();
  CLI11_PARSE(app, argc, argv);
  try {
    std::ifstream in(configPath);
    if (!in) {
      std::cerr << "orvantis-camsim: cannot open " << configPath << "\n";
      return 2;
    }
    camsim::Emulator emu(camsim::LoadConfig(nlohmann::json::parse(in)));
    std::string error;
    if (!emu.Start(&error)) {
      std::cerr << "orvantis-camsim: " << error << "\n";
      return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    emu.Stop();
  } catch (const std::exception& e) {
    std::cerr << "orvantis-camsim: " << e.what() << "\n";
    return 2;
  }
  return 0;
}
