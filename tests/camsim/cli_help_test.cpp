// orvantis-cli's help as a user reads it: one voice in every command's line, examples at the end
// of each command's help, privileges named one way, exit statuses listed once (and in the manual
// page), and a bare call that shows the overview as a usage error.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_run.h"

namespace orv::test {

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Entry {
  std::string name;         // the left column, trimmed
  std::string description;  // the right column
};

// The rows of the "Options:", "Positionals:" or "Subcommands:" sections of the help. The
// description starts in column 30, on the row itself or, after a long left column, on the next.
std::vector<Entry> Rows(const std::string& help, const std::string& section) {
  constexpr std::size_t kColumn = 30;
  std::vector<Entry> rows;
  const std::vector<std::string> lines = Lines(help);
  bool inside = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty()) {
      inside = false;
      continue;
    }
    if (line == section + ":") {
      inside = true;
      continue;
    }
    if (!inside || line.rfind("  ", 0) != 0 || line[2] == ' ') continue;
    Entry e;
    const std::size_t nameEnd = line.find(' ', 2);
    e.name = line.substr(2, nameEnd == std::string::npos ? std::string::npos : nameEnd - 2);
    // A description beside the name stands after a gap; a long name (with its type and range)
    // pushes it to the next line.
    if (line.size() > kColumn && line.compare(kColumn - 2, 2, "  ") == 0 && line[kColumn] != ' ') {
      e.description = line.substr(kColumn);
    } else if (i + 1 < lines.size() && lines[i + 1].size() > kColumn &&
               lines[i + 1].find_first_not_of(' ') == kColumn) {
      e.description = lines[i + 1].substr(kColumn);
    }
    rows.push_back(e);
  }
  return rows;
}

bool StartsWithCapital(const std::string& s) {
  return !s.empty() && s[0] >= 'A' && s[0] <= 'Z';
}

// Privileges are named by their capability and nothing else ("needs root" said the same thing
// another way in one command).
void ExpectPrivilegesNamedOneWay(const std::string& help, const std::string& where) {
  const std::string needs = "needs ";
  for (std::size_t at = help.find(needs); at != std::string::npos; at = help.find(needs, at + 1)) {
    std::size_t end = at + needs.size();
    while (end < help.size() &&
           (std::isalnum(static_cast<unsigned char>(help[end])) != 0 || help[end] == '_'))
      ++end;
    const std::string what = help.substr(at + needs.size(), end - at - needs.size());
    EXPECT_TRUE(what == "CAP_NET_RAW" || what == "CAP_NET_ADMIN")
        << where << ": \"needs " << what << "\"";
  }
}

std::vector<std::string> Commands() {
  std::vector<std::string> names;
  for (const Entry& e : Rows(RunCli("", "--help").out, "Subcommands")) names.push_back(e.name);
  return names;
}

TEST(CliHelp, OverviewListsEveryCommandInOneVoiceAndTheExitStatusesOnce) {
  const CliRun r = RunCli("", "--help");
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.err.empty()) << r.err;
  const std::vector<Entry> commands = Rows(r.out, "Subcommands");
  ASSERT_GE(commands.size(), 11u) << r.out;
  for (const Entry& c : commands) {
    EXPECT_TRUE(StartsWithCapital(c.description)) << c.name << ": " << c.description;
  }
  for (const Entry& o : Rows(r.out, "Options"))
    EXPECT_TRUE(StartsWithCapital(o.description)) << o.name << ": " << o.description;
  ExpectPrivilegesNamedOneWay(r.out, "overview");

  const std::size_t exits = r.out.find("Exit status:");
  ASSERT_NE(exits, std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Exit status:", exits + 1), std::string::npos);
  for (const char* status : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  126 "})
    EXPECT_NE(r.out.find(status, exits), std::string::npos) << "status" << status;
}

TEST(CliHelp, EveryCommandsHelpIsCapitalisedAndEndsWithExamples) {
  const std::vector<std::string> commands = Commands();
  ASSERT_FALSE(commands.empty());
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const CliRun r = RunCli("", command + " --help");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    // The first line is the command's one-line help.
    EXPECT_TRUE(StartsWithCapital(lines[0])) << lines[0];
    for (const char* section : {"Options", "Positionals"}) {
      for (const Entry& o : Rows(r.out, section))
        EXPECT_TRUE(StartsWithCapital(o.description)) << o.name << ": \"" << o.description << '"';
    }
    ExpectPrivilegesNamedOneWay(r.out, command);
    // Statuses live in the overview only.
    EXPECT_EQ(r.out.find("Exit status"), std::string::npos);

    // The help ends with its examples, each a call of this very command.
    const std::size_t examples = r.out.rfind("\nExamples:\n");
    ASSERT_NE(examples, std::string::npos) << r.out;
    const std::string tail = r.out.substr(examples);
    EXPECT_EQ(tail.find("\nOptions:"), std::string::npos) << "examples are not last";
    EXPECT_NE(tail.find("orvantis-cli " + command + " "), std::string::npos) << tail;
    // A command that takes a password shows how to give it without putting it on the line.
    if (r.out.find("--password-file") < examples) {
      EXPECT_NE(tail.find("--password-file"), std::string::npos) << tail;
      EXPECT_EQ(tail.find("--password "), std::string::npos) << tail;
    }
  }
}

TEST(CliHelp, UnusableArgumentsEndWithStatusTwo) {
  // No command: the overview, as an error.
  const CliRun bare = RunCli("", "");
  EXPECT_EQ(bare.status, 2);
  EXPECT_TRUE(bare.out.empty()) << bare.out;
  EXPECT_NE(bare.err.find("Subcommands:"), std::string::npos) << bare.err;
  EXPECT_NE(bare.err.find("Exit status:"), std::string::npos) << bare.err;

  for (const char* args : {"frobnicate", "--frobnicate", "discover --frobnicate", "read",
                           "discover --seconds many", "discover --seconds 999999"}) {
    const CliRun r = RunCli("", args);
    EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
    EXPECT_FALSE(r.err.empty()) << args;
  }
  const CliRun version = RunCli("", "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("orvantis-cli ", 0), 0u) << version.out;
}

TEST(CliHelp, ManualPageNamesEveryCommandAndTheSameExitStatuses) {
  std::ifstream in(std::string(ORVANTIS_SOURCE_DIR) + "/packaging/man/orvantis-cli.1");
  std::stringstream text;
  text << in.rdbuf();
  const std::string man = text.str();
  ASSERT_FALSE(man.empty());
  const std::size_t commands = man.find(".SH COMMANDS");
  ASSERT_NE(commands, std::string::npos);
  const std::string listed = man.substr(commands, man.find(".SH", commands + 1) - commands);
  for (const std::string& command : Commands()) {
    std::string roff;  // the manual writes a hyphen as "\-"
    for (char c : command) roff += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(listed.find(".TP\n.B " + roff), std::string::npos) << command;
  }
  const std::size_t exits = man.find(".SH EXIT STATUS");
  ASSERT_NE(exits, std::string::npos);
  const std::string section = man.substr(exits, man.find(".SH", exits + 1) - exits);
  for (const char* status : {".B 0\n", ".B 1\n", ".B 2\n", ".B 126\n"})
    EXPECT_NE(section.find(status), std::string::npos) << status << " in\n" << section;
  ExpectPrivilegesNamedOneWay(man, "manual page");
}

}  // namespace

}  // namespace orv::test
