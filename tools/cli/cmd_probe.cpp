// orvantis-cli probe: the start-up reachability check on its own, with the host it would use.

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "commands.h"
#include "core/camera_http/transport.h"

namespace orv::cli {

void RegisterProbeCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand(
      "probe", "Check with one TCP connection whether the PC reaches the Internet");
  auto host = std::make_shared<std::string>();
  auto port = std::make_shared<int>(80);
  auto json = std::make_shared<bool>(false);
  cmd->add_option("--host", *host,
                  "Host to connect to (default: ORVANTIS_PROBE_HOST or " +
                      std::string(kDefaultProbeHost) + ")");
  cmd->add_option("--port", *port, "TCP port")->check(CLI::Range(1, 65535));
  cmd->add_flag("--json", *json, "Machine-readable output");
  cmd->callback([host, port, json] {
    const std::string target = host->empty() ? ProbeHostName() : *host;
    const bool reachable = ProbeTcpConnect(target.c_str(), *port) == 0;
    if (*json) {
      nlohmann::ordered_json out;
      out["host"] = target;
      out["port"] = *port;
      out["internetReachable"] = reachable ? 1 : 0;
      std::printf("%s\n", out.dump().c_str());
    } else {
      std::printf("%s:%d %s\n", target.c_str(), *port, reachable ? "reachable" : "not reachable");
    }
    ExitStatus() = reachable ? 0 : 1;
  });
}

}  // namespace orv::cli
