// orvantis-cli discover: poll the discovery engine once a second and list the cameras it found.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "commands.h"
#include "core/app/camera_export.h"
#include "core/discovery/camera_lookup.h"
#include "core/discovery/plipf.h"
#include "output.h"
#include "progress.h"

namespace orv::cli {
namespace {

struct DiscoverOptions {
  int seconds = 5;
  int untilQuietMs = -1;  // off
  bool drain = false;
  bool json = false;
  bool csv = false;
};

void RunDiscover(const DiscoverOptions& opt) {
  CPLipf engine(DiscoveryEnvironment::System());
  engine.SetDrain(opt.drain);
  EnableProgress(!opt.json && !opt.csv);

  // Keep a copy: the engine's rows are only valid until its next Collect.
  std::vector<CameraEntry> rows;
  const auto start = std::chrono::steady_clock::now();
  if (opt.untilQuietMs >= 0) {
    ShowProgress("listening until no new camera answers (at most " + std::to_string(opt.seconds) +
                 " s)");
    rows = DiscoverUntilQuiet(engine, std::chrono::milliseconds(opt.untilQuietMs),
                              std::chrono::seconds(opt.seconds));
  }
  for (int tick = 0; opt.untilQuietMs < 0 && tick <= opt.seconds; ++tick) {
    std::this_thread::sleep_until(start + std::chrono::seconds(tick));
    const CameraEntry* out = nullptr;
    int count = 0;
    int capacity = 0;
    if (engine.Collect(&out, &count, &capacity, 0) >= 0 && out != nullptr) {
      rows.assign(out, out + count);
    }
    ShowProgress("listening: " + std::to_string(rows.size()) +
                 (rows.size() == 1 ? " camera, " : " cameras, ") +
                 std::to_string(opt.seconds - tick) + " s left");
  }
  ClearProgress();

  if (opt.csv || opt.json) {
    const std::string text = opt.csv ? CameraListCsv(rows) : CameraListJson(rows);
    std::fwrite(text.data(), 1, text.size(), stdout);
  } else {
    // The search page's column order: IP, MAC, PORT, DESC / INTERFACE, SPORT, SERIAL NO.
    for (const CameraEntry& r : rows) {
      std::printf("%-15s  %-17s  %-5s  %-31s  %-5s  %s\n", PlainText(r.ip.view()).c_str(),
                  PlainText(r.mac.view()).c_str(), PlainText(r.port.view()).c_str(),
                  PlainText(r.desc.view()).c_str(), PlainText(r.sport.view()).c_str(),
                  PlainText(r.cam_id.view()).c_str());
    }
  }
  std::fflush(stdout);
  ExitStatus() = 0;
}

}  // namespace

void RegisterDiscoveryCommands(CLI::App& app) {
  auto opt = std::make_shared<DiscoverOptions>();
  CLI::App* cmd =
      app.add_subcommand("discover", "List the cameras that answer the discovery request");
  cmd->add_option("--seconds", opt->seconds, "How long to listen, polling once a second")
      ->check(CLI::Range(0, 3600))
      ->capture_default_str();
  cmd->add_option("--until-quiet", opt->untilQuietMs, "End when no new camera answered for MS ms")
      ->check(CLI::Range(0, 3600000));
  cmd->add_flag("--drain", opt->drain, "Read every waiting reply at each poll (large networks)");
  auto* json = cmd->add_flag("--json", opt->json, "Machine-readable output");
  cmd->add_flag("--csv", opt->csv,
                "CSV (UTF-8, header row): the list's columns and the adapter each camera "
                "answered on")
      ->excludes(json);
  cmd->callback([opt] { RunDiscover(*opt); });
}

}  // namespace orv::cli
