// The parts of orvantis-cli's help that speak for the whole tool: the overview's closing lines
// (privileges, exit statuses) and the examples that end each command's --help.

#include <string>

#include "commands.h"

namespace orv::cli {
namespace {

// The same two camera examples for every camera command: one in the PC's own subnet, one in
// another subnet (reached through a temporary address for the command's length), which usually
// needs a password.
std::string CameraExamples(const std::string& command, const std::string& extra = "") {
  return "Examples:\n"
         "  A camera in the PC's own subnet:\n"
         "    orvantis-cli " +
         command + " 192.168.1.64" + extra +
         "\n"
         "  A camera in another subnet (here its factory address), with the password in a file\n"
         "  only you can read; add --adapter NAME to choose the adapter it is cabled to:\n"
         "    orvantis-cli " +
         command + " 192.168.0.98" + extra + " --password-file ~/.orvantis-camera\n";
}

void SetExamples(CLI::App& app, const char* command, const std::string& text) {
  // A command that is missing here simply keeps no examples.
  try {
    app.get_subcommand(command)->footer(text);
  } catch (const CLI::OptionNotFound&) {
  }
}

}  // namespace

void AddHelpTexts(CLI::App& app) {
  SetExamples(app, "discover",
              "Examples:\n"
              "  orvantis-cli discover\n"
              "  orvantis-cli discover --seconds 20 --drain --json > cameras.json\n"
              "  orvantis-cli discover --until-quiet 2000 --csv > cameras.csv\n");
  SetExamples(app, "apply",
              "A plan (JSON; CSV with a mac or address column for the flat case), readable only "
              "by you:\n"
              "  {\"password_file\": \"camera-password\", \"cameras\": [\n"
              "    {\"mac\": \"00:1A:2B:3C:4D:5E\", \"set\": {\"Timezone\": 13, "
              "\"NTPName\": \"ntp.example.org\"}},\n"
              "    {\"address\": \"192.168.0.98\", \"set\": {\"TitleBar\": \"Gate\"}}]}\n"
              "Examples:\n"
              "  orvantis-cli apply plan.json --dry-run\n"
              "  The same password for every camera, when the plan names no file:\n"
              "    orvantis-cli apply plan.json --jobs 8 --password-file ~/.orvantis-camera "
              "--json > report.jsonl\n");
  SetExamples(app, "audit",
              "Examples:\n"
              "  orvantis-cli audit --password-file ~/.orvantis-camera\n"
              "  orvantis-cli audit --plan plan.json\n"
              "  orvantis-cli audit --password-file ~/.orvantis-camera --csv > differences.csv\n");
  SetExamples(app, "netinfo",
              "Examples:\n"
              "  orvantis-cli netinfo\n"
              "  orvantis-cli netinfo --json\n");
  SetExamples(app, "ensure-subnet",
              "Examples:\n"
              "  Reach a camera at its factory address for five minutes:\n"
              "    orvantis-cli ensure-subnet 192.168.0.98 --hold 300\n");
  SetExamples(app, "free-addresses",
              "Examples:\n"
              "  orvantis-cli free-addresses\n"
              "  orvantis-cli free-addresses --count 5 --json\n");
  SetExamples(app, "arp-test",
              "Examples:\n"
              "  orvantis-cli arp-test 192.168.1.50\n");
  SetExamples(app, "read", CameraExamples("read"));
  SetExamples(app, "save", CameraExamples("save", " --set TitleBar=porch"));
  SetExamples(app, "scan", CameraExamples("scan"));
  SetExamples(app, "wps", CameraExamples("wps"));
  SetExamples(app, "link-server",
              "Examples:\n"
              "  orvantis-cli link-server --server link.example.org --id 1234 \\\n"
              "      --password-file ~/.orvantis-account\n"
              "  orvantis-cli link-server --server link.example.org --id alice --user-login \\\n"
              "      --password-file ~/.orvantis-account --json\n");
  SetExamples(app, "probe",
              "Examples:\n"
              "  orvantis-cli probe\n"
              "  orvantis-cli probe --host 192.168.1.1 --port 80\n");

  app.footer(
      "Commands marked \"needs CAP_NET_RAW\" send ARP probes, and \"needs CAP_NET_ADMIN\" adds\n"
      "addresses: the installed program asks its helper orvantis-netd, which only the members of\n"
      "the group orvantis may run; otherwise run it as root.\n"
      "\n"
      "Exit status:\n"
      "  0      done\n"
      "  1      the camera, the link server or the network said no, or the operation failed\n"
      "  2      unusable arguments\n"
      "  126    the program could not be started (a launcher whose program is missing)\n"
      "  128+N  ended by signal N (apply and audit: Ctrl-C, after their report), after removing\n"
      "         any temporary address\n"
      "\n"
      "Run 'orvantis-cli COMMAND --help' for a command's options and examples.");
}

}  // namespace orv::cli
