#include "plan_targets.h"

#include <filesystem>
#include <iostream>

#include "commands.h"
#include "core/i18n/language_pack.h"
#include "core/i18n/text_keys.h"
#include "core/platform/env.h"
#include "core/platform/program_folder.h"
#include "core/util/ipv4.h"
#include "output.h"
#include "progress.h"

namespace orv::cli {

using Json = nlohmann::ordered_json;

void AddBatchOptions(CLI::App* cmd, BatchOptions& o) {
  cmd->add_option("--jobs", o.jobs, "Cameras worked on at once")
      ->check(CLI::Range(1, kMaxJobs))
      ->capture_default_str();
  cmd->add_option("--user", o.user, "User name when a camera asks for one")->capture_default_str();
  cmd->add_option("--password-file", o.passwordFile,
                  "Read the password from the file's first line (when the plan names none)");
  cmd->add_option("--adapter", o.adapter, "Adapter the cameras are cabled to");
  cmd->add_option("--until-quiet", o.untilQuietMs,
                  "The discovery ends when no new camera answered for MS ms")
      ->check(CLI::Range(100, 60000))
      ->capture_default_str();
  cmd->add_option("--seconds", o.seconds, "The discovery ends after this many seconds at most")
      ->check(CLI::Range(1, 600))
      ->capture_default_str();
  cmd->add_flag("--allow-world-readable", o.allowWorldReadable,
                "Take a plan or password file that other users can read");
  cmd->add_flag("--json", o.json, "Machine-readable output");
}

void UsageError(const std::string& message) {
  ClearProgress();
  std::cerr << "orvantis-cli: " << PlainText(message) << '\n';
  ExitStatus() = kBatchExitUsage;
}

std::string JsonLine(const Json& j) {
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The tool speaks English; the page's own buffer makes the text the one the page shows.
std::string RefusalText(const Refusal& r) {
  if (r.key.empty()) return r.text;
  static const i18n::LanguagePack pack(ProgramFolder() + "Language/ENG.ini");
  std::size_t buffer = i18n::kMessageChars;
  for (const i18n::TextKey& k : i18n::kTextKeys) {
    if (k.section == r.section && k.key == r.key) {
      buffer = k.buffer;
      break;
    }
  }
  const std::string text = pack.Utf8(r.section, r.key, buffer);
  return text.empty() ? r.section + "/" + r.key : text;
}

bool LoadPlan(const BatchOptions& o, Plan& plan, std::vector<Target>& targets) {
  std::string text;
  std::string error;
  if (!ReadPrivateFile(o.plan, kPlanFileLimit, o.allowWorldReadable, text, error) ||
      !ParsePlan(text, plan, error)) {
    UsageError(o.plan + ": " + error);
    return false;
  }
  // Password files named in the plan are found beside it.
  const std::filesystem::path folder = std::filesystem::path(o.plan).parent_path();
  const auto resolve = [&](const std::string& name) {
    const std::filesystem::path p(name);
    return p.is_absolute() ? p.string() : (folder / p).string();
  };
  std::string common;
  if (!plan.passwordFile.empty()) {
    if (!ReadPasswordFile(resolve(plan.passwordFile), o.allowWorldReadable, common, error)) {
      UsageError(o.plan + ": password_file: " + error);
      return false;
    }
  } else if (!o.passwordFile.empty()) {
    if (!ReadPasswordFile(o.passwordFile, o.allowWorldReadable, common, error)) {
      UsageError(error);
      return false;
    }
  } else if (const auto env = EnvOverride("ORVANTIS_PASSWORD")) {
    common = *env;
  }
  for (const PlanEntry& e : plan.entries) {
    Target t;
    t.entry = &e;
    t.password = common;
    if (!e.passwordFile.empty() &&
        !ReadPasswordFile(resolve(e.passwordFile), o.allowWorldReadable, t.password, error)) {
      UsageError(o.plan + ": " + e.where + ": password_file: " + error);
      return false;
    }
    targets.push_back(std::move(t));
  }
  return true;
}

void FindTargets(const BatchOptions& o, std::vector<Target>& targets) {
  ShowProgress("looking for the cameras (discovery)");
  const std::vector<CameraEntry> rows =
      DiscoverBatch(std::chrono::milliseconds(o.untilQuietMs), std::chrono::seconds(o.seconds));
  for (Target& t : targets) {
    for (const CameraEntry& row : rows) {
      const bool match = t.entry->mac.empty() ? row.ip == t.entry->address
                                              : NormaliseMac(row.mac.view()) == t.entry->mac;
      if (match) {
        t.row = row;
        break;
      }
    }
  }
}

std::vector<std::size_t> RunOrder(const std::vector<Target>& targets) {
  std::vector<std::uint32_t> addresses;
  for (const Target& t : targets)
    addresses.push_back(t.row ? ParseIpv4OrZero(t.row->ip.view()) : 0);
  return SubnetsInTurn(addresses);
}

std::string CameraName(const Target& t) {
  const std::string who = t.entry->mac.empty() ? t.entry->address : t.entry->mac;
  if (!t.row || t.row->ip == t.entry->address) return who;
  return who + " (" + std::string(t.row->ip.view()) + ")";
}

Json ChangesJson(const std::vector<FieldChange>& changes) {
  Json a = Json::array();
  for (const FieldChange& c : changes) {
    Json j{{"field", c.field}};
    if (c.secret) {
      j["changed"] = true;
    } else {
      j["before"] = c.before;
      j["after"] = c.after;
    }
    a.push_back(j);
  }
  return a;
}
}  // namespace orv::cli
