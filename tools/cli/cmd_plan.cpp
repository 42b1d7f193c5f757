// apply and audit: one plan for many cameras, and which cameras differ. Exit status 0 only when
// every camera is done or unchanged (apply), or all agree (audit --plan); 1 otherwise; 2 for an
// unusable plan, password file or option; 128+N after Ctrl-C or another signal N.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "camera_batch.h"
#include "commands.h"
#include "core/app/camera_fields.h"
#include "core/app/plan.h"
#include "core/i18n/language_pack.h"
#include "core/i18n/text_keys.h"
#include "core/platform/codepage.h"
#include "core/platform/env.h"
#include "core/platform/program_folder.h"
#include "core/util/csv.h"
#include "core/util/ipv4.h"
#include "core/util/text_boundary.h"
#include "output.h"
#include "progress.h"

namespace orv::cli {

namespace {

using Json = nlohmann::ordered_json;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct BatchOptions {
  std::string plan;
  std::string passwordFile;
  std::string user = "root";
  std::string adapter;
  int jobs = kDefaultJobs;
  int untilQuietMs = 1500;
  int seconds = 10;
  bool allowWorldReadable = false;
  bool dryRun = false;
  bool json = false;
  bool csv = false;
};

void Fail(const std::string& message) {
  ClearProgress();
  std::cerr << "orvantis-cli: " << PlainText(message) << '\n';
  ExitStatus() = kExitUsage;
}

std::string Dump(const Json& j) {
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The page's message as the English pack words it (the tool speaks English), read with the
// page's own buffer so that the text is the one the page shows.
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

// A plan's camera and the password it logs in with.
struct Target {
  const PlanEntry* entry = nullptr;
  std::string password;
  std::optional<CameraEntry> row;  // its discovery row, when it answered
};

// Reads and checks the plan and every password file it names. False after a message.
bool LoadPlan(const BatchOptions& o, Plan& plan, std::vector<Target>& targets) {
  std::string text;
  std::string error;
  if (!ReadPrivateFile(o.plan, kPlanFileLimit, o.allowWorldReadable, text, error) ||
      !ParsePlan(text, plan, error)) {
    Fail(o.plan + ": " + error);
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
      Fail(o.plan + ": password_file: " + error);
      return false;
    }
  } else if (!o.passwordFile.empty()) {
    if (!ReadPasswordFile(o.passwordFile, o.allowWorldReadable, common, error)) {
      Fail(error);
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
      Fail(o.plan + ": " + e.where + ": password_file: " + error);
      return false;
    }
    targets.push_back(std::move(t));
  }
  return true;
}

// Matches the plan's cameras to the discovery rows, by MAC or address.
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

std::string ChangeText(const FieldChange& c) {
  if (c.secret) return c.field + " (changed)";
  return c.field + " " + c.before + " -> " + c.after;
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

// One camera's end, as a line and as the JSON object.
struct Outcome {
  // done, unchanged, would change, refused, unreachable, failed, stopped, not started
  std::string outcome;
  std::string step;
  std::string field;
  std::string message;
  std::string newAddress;
  std::vector<FieldChange> changes;
};

void ReportOutcome(CameraBatch& batch, const BatchOptions& o, const Target& t, const Outcome& r) {
  if (o.json) {
    Json j{{"camera", t.entry->where}, {"mac", t.entry->mac}, {"address", t.entry->address}};
    if (t.row) j["ip"] = std::string(t.row->ip.view());
    j["outcome"] = r.outcome;
    if (!r.step.empty()) j["step"] = r.step;
    if (!r.field.empty()) j["field"] = r.field;
    if (!r.message.empty()) j["message"] = r.message;
    if (!r.newAddress.empty()) j["now_at"] = r.newAddress;
    if (!r.changes.empty()) j["changes"] = ChangesJson(r.changes);
    batch.Report(Dump(j));
    return;
  }
  // Camera texts are escaped piece by piece: the change lines are the report's own line breaks.
  std::string line = PlainText(CameraName(t)) + ": " + r.outcome;
  if (!r.step.empty()) line += " at " + r.step;
  if (!r.field.empty()) line += " " + r.field;
  if (!r.message.empty()) line += ": " + PlainText(r.message);
  if (!r.newAddress.empty()) line += ", now at " + r.newAddress;
  if (r.outcome == "would change") {
    for (const FieldChange& c : r.changes) line += "\n    " + PlainText(ChangeText(c));
  }
  batch.Report(line);
}

// How long a saved camera has to answer discovery again; tests shorten it.
std::chrono::milliseconds RefindWait() {
  if (const auto w = EnvOverride("ORVANTIS_REFIND_WAIT_MS")) {
    const long ms = std::strtol(w->c_str(), nullptr, 10);
    if (ms >= 0 && ms <= 600000) return std::chrono::milliseconds(ms);
  }
  return std::chrono::seconds(60);
}

Outcome ApplyToCamera(CameraBatch& batch, const BatchOptions& o, std::size_t i, const Target& t) {
  Outcome r;
  if (!t.row) {
    r.outcome = "unreachable";
    r.message = "it did not answer discovery";
    return r;
  }
  WorkerJob job;
  const CameraRead read = batch.OpenAndRead(i, *t.row, o.user, t.password, job);
  if (!read.ok) {
    r.outcome = read.stopped ? "stopped" : read.unreachable ? "unreachable" : "failed";
    if (!read.unreachable) r.step = read.step;
    r.message = read.message;
    return r;
  }
  const std::string camera(t.row->ip.view());
  batch.SetStep(i, camera, "checking");
  const ChangeSet changes = ApplyPlanEntry(job.session, *t.entry);
  if (changes.refusal) {
    r.outcome = "refused";
    r.field = changes.refusal->field;
    r.message = RefusalText(*changes.refusal);
    return r;
  }
  r.changes = changes.changes;
  if (changes.changes.empty()) {
    r.outcome = "unchanged";
    return r;
  }
  if (o.dryRun) {
    r.outcome = "would change";
    return r;
  }
  if (batch.Stopped()) {
    r.outcome = "stopped";
    r.step = "save";
    r.message = "Ctrl-C came first; nothing was written";
    return r;
  }
  batch.SetStep(i, camera, "saving");
  job.mode = kModeSave;
  job.accessPoints.clear();
  RunWorkerJob(job, FreeAddressFinder{});
  if (job.ok != 1) {
    r.outcome = "failed";
    r.step = "save";
    r.message = StepFailure(job.session, FailedStep::Save, job.error, !t.password.empty());
    return r;
  }
  batch.SetStep(i, camera, "finding it again");
  const auto found = batch.Refind(
      job.session, std::string(NormaliseMac(t.row->mac.view()).value_or("")), RefindWait());
  if (!found) {
    r.outcome = batch.Stopped() ? "stopped" : "failed";
    r.step = "re-find";
    r.message = batch.Stopped() ? "saved; Ctrl-C came before it answered again"
                                : "saved, but it did not answer discovery afterwards";
    return r;
  }
  r.outcome = "done";
  if (!(found->ip == t.row->ip.view())) r.newAddress = std::string(found->ip.view());
  return r;
}

void RunApply(const BatchOptions& o) {
  Plan plan;
  std::vector<Target> targets;
  if (!LoadPlan(o, plan, targets)) return;
  EnableProgress(!o.json);
  CameraBatch batch(o.adapter, o.jobs, !o.json);
  if (!batch.Ready()) {
    ExitStatus() = kExitUsage;
    return;
  }
  FindTargets(o, targets);
  std::map<std::string, int> counts;
  std::mutex countMutex;
  const auto finish = [&](std::size_t i, const Outcome& r) {
    batch.SetStep(i, "", "");
    ReportOutcome(batch, o, targets[i], r);
    std::lock_guard lock(countMutex);
    ++counts[r.outcome];
  };
  batch.Run(
      RunOrder(targets), [&](std::size_t i) { finish(i, ApplyToCamera(batch, o, i, targets[i])); },
      [&](std::size_t i) {
        Outcome r;
        r.outcome = "not started";
        r.message = "stopped by Ctrl-C";
        finish(i, r);
      });
  std::string summary = std::to_string(targets.size()) + " cameras:";
  bool first = true;
  int good = 0;
  for (const auto& [outcome, n] : counts) {
    summary += std::string(first ? " " : ", ") + std::to_string(n) + " " + outcome;
    first = false;
    if (outcome == "done" || outcome == "unchanged" || outcome == "would change") good += n;
  }
  if (o.dryRun) summary += "; dry run: nothing was written";
  if (batch.Stopped()) summary += "; stopped by Ctrl-C, every temporary address removed";
  (o.json ? std::cerr : std::cout) << summary << '\n';
  if (batch.Stopped()) {
    ExitStatus() = 128 + batch.Signal();
  } else {
    ExitStatus() = good == static_cast<int>(targets.size()) ? 0 : kExitFailed;
  }
}

// ---- audit

struct AuditCamera {
  std::string label;  // its address
  std::string mac;
  bool ok = false;
  std::string message;
  std::vector<std::pair<std::string, std::string>> fields;
  std::vector<FieldChange> planDiffers;  // with --plan
};

// Secrets are compared by hash and shown as "(secret A)", "(secret B)", ... per distinct value.
std::string ShownValue(const std::string& field, const std::string& value,
                       std::map<std::string, std::map<std::string, char>>& secretNames) {
  if (!IsSecretField(field)) return value;
  auto& names = secretNames[field];
  const auto it = names.try_emplace(value, static_cast<char>('A' + names.size() % 26)).first;
  return std::string("(secret ") + it->second + ")";
}

int TerminalWidth() {
  if (const auto c = EnvOverride("COLUMNS")) {
    const long n = std::strtol(c->c_str(), nullptr, 10);
    if (n >= 40 && n <= 1000) return static_cast<int>(n);
  }
  return 100;
}

void PrintAuditTable(const std::vector<AuditCamera>& cams, const std::vector<std::string>& fields,
                     const std::map<std::string, std::vector<std::string>>& values,
                     const std::map<std::string, std::optional<std::string>>& majority) {
  std::size_t nameWidth = 5;
  for (const std::string& f : fields) nameWidth = std::max(nameWidth, f.size());
  std::vector<std::size_t> readable;
  for (std::size_t c = 0; c < cams.size(); ++c)
    if (cams[c].ok) readable.push_back(c);
  // As many camera columns per block as the terminal takes; the field names repeat per block.
  constexpr std::size_t kColumn = 18;
  const std::size_t perBlock = std::max<std::size_t>(
      1, (static_cast<std::size_t>(TerminalWidth()) - nameWidth - 2) / (kColumn + 2));
  const auto cell = [&](std::string text) {
    // Values are UTF-8: cut on a character boundary (columns count bytes, which is close enough).
    if (text.size() > kColumn) {
      text.resize(BoundedPrefixLength(text, kColumn - 1, CharSetKind::Utf8, kCodePageUtf8));
      text += "~";
    }
    text = PlainText(text);  // escapes may make it longer: at least one space follows
    return text + std::string(text.size() < kColumn + 1 ? kColumn + 2 - text.size() : 1, ' ');
  };
  for (std::size_t b = 0; b < readable.size(); b += perBlock) {
    if (b > 0) std::cout << '\n';
    std::string head = "field" + std::string(nameWidth - 5 + 2, ' ');
    for (std::size_t k = b; k < std::min(readable.size(), b + perBlock); ++k)
      head += cell(cams[readable[k]].label);
    std::cout << head.substr(0, head.find_last_not_of(' ') + 1) << '\n';
    for (const std::string& f : fields) {
      std::string line = f + std::string(nameWidth - f.size() + 2, ' ');
      for (std::size_t k = b; k < std::min(readable.size(), b + perBlock); ++k) {
        const std::string& v = values.at(f)[readable[k]];
        line += cell((v == majority.at(f) ? "*" : " ") + v);
      }
      std::cout << line.substr(0, line.find_last_not_of(' ') + 1) << '\n';
    }
  }
  std::cout << "(* the value most cameras have)\n";
}

void RunAudit(const BatchOptions& o) {
  Plan plan;
  std::vector<Target> targets;
  if (!o.plan.empty()) {
    if (!LoadPlan(o, plan, targets)) return;
  } else {
    std::string common;
    std::string error;
    if (!o.passwordFile.empty() &&
        !ReadPasswordFile(o.passwordFile, o.allowWorldReadable, common, error)) {
      Fail(error);
      return;
    }
    if (o.passwordFile.empty()) common = EnvOverride("ORVANTIS_PASSWORD").value_or("");
    targets.push_back(Target{nullptr, common, std::nullopt});
  }
  EnableProgress(!o.json && !o.csv);
  CameraBatch batch(o.adapter, o.jobs, !o.json && !o.csv);
  if (!batch.Ready()) {
    ExitStatus() = kExitUsage;
    return;
  }
  if (!o.plan.empty()) {
    FindTargets(o, targets);
  } else {
    // Every camera that answers, with the one password.
    ShowProgress("looking for the cameras (discovery)");
    const auto rows =
        DiscoverBatch(std::chrono::milliseconds(o.untilQuietMs), std::chrono::seconds(o.seconds));
    const std::string password = targets.front().password;
    targets.clear();
    for (const CameraEntry& row : rows) targets.push_back(Target{nullptr, password, row});
  }
  std::vector<AuditCamera> cams(targets.size());
  batch.Run(
      RunOrder(targets),
      [&](std::size_t i) {
        const Target& t = targets[i];
        AuditCamera& c = cams[i];
        c.label = t.row ? std::string(t.row->ip.view()) : t.entry->address;
        c.mac = t.row ? NormaliseMac(t.row->mac.view()).value_or("") : t.entry->mac;
        if (!t.row) {
          c.message = "it did not answer discovery";
          return;
        }
        WorkerJob job;
        const CameraRead read = batch.OpenAndRead(i, *t.row, o.user, t.password, job);
        batch.SetStep(i, "", "");
        if (!read.ok) {
          c.message = read.message;
          return;
        }
        c.ok = true;
        c.fields = ComparableFields(job.session);
        if (t.entry != nullptr) c.planDiffers = PlanDifferences(job.session, *t.entry);
      },
      [&](std::size_t i) {
        cams[i].label = targets[i].row ? std::string(targets[i].row->ip.view()) : "";
        cams[i].message = "not read: stopped by Ctrl-C";
      });
  ExitStatus() = 0;
  if (batch.Stopped()) ExitStatus() = 128 + batch.Signal();

  if (!o.plan.empty()) {
    // Per camera: the fields where it differs from the plan (camera value -> plan value).
    Json all = Json::array();
    for (std::size_t i = 0; i < cams.size(); ++i) {
      const AuditCamera& c = cams[i];
      const bool matches = c.ok && c.planDiffers.empty();
      if (!matches && ExitStatus() == 0) ExitStatus() = kExitFailed;
      if (o.json) {
        Json j{{"camera", targets[i].entry->where}, {"mac", c.mac}, {"ip", c.label}};
        j["ok"] = c.ok;
        if (!c.ok) j["message"] = c.message;
        if (c.ok) j["differs"] = ChangesJson(c.planDiffers);
        all.push_back(j);
        continue;
      }
      std::string line = PlainText(CameraName(targets[i])) + ": ";
      if (!c.ok) {
        line += "cannot be read: " + PlainText(c.message);
      } else if (matches) {
        line += "as the plan says";
      } else {
        line += "differs from the plan";
        for (const FieldChange& f : c.planDiffers) {
          line +=
              "\n    " + f.field +
              (f.secret ? " differs"
                        : " is " + PlainText(f.before) + ", the plan says " + PlainText(f.after));
        }
      }
      std::cout << line << '\n';
    }
    if (o.json) std::cout << Dump(Json{{"cameras", all}}) << '\n';
    return;
  }

  // Without a plan: the fields whose values differ between the cameras that could be read.
  std::vector<std::string> fields;
  std::map<std::string, std::vector<std::string>> values;
  std::map<std::string, std::optional<std::string>> majority;
  std::map<std::string, std::map<std::string, char>> secretNames;
  const AuditCamera* firstOk = nullptr;
  for (const AuditCamera& c : cams)
    if (c.ok && firstOk == nullptr) firstOk = &c;
  if (firstOk != nullptr) {
    for (std::size_t f = 0; f < firstOk->fields.size(); ++f) {
      const std::string& name = firstOk->fields[f].first;
      std::map<std::string, int> tally;
      std::vector<std::string> shown(cams.size());
      for (std::size_t c = 0; c < cams.size(); ++c) {
        if (!cams[c].ok) continue;
        shown[c] = ShownValue(name, cams[c].fields[f].second, secretNames);
        ++tally[shown[c]];
      }
      if (tally.size() < 2) continue;
      fields.push_back(name);
      values[name] = shown;
      // The majority is the one value more cameras have than any other; none on a tie.
      int top = 0;
      int second = 0;
      for (const auto& [value, n] : tally) {
        if (n > top) {
          second = top;
          top = n;
          majority[name] = value;
        } else if (n > second) {
          second = n;
        }
      }
      if (top == second) majority[name].reset();
    }
  }
  if (o.json) {
    Json cj = Json::array();
    for (const AuditCamera& c : cams) {
      Json j{{"ip", c.label}, {"mac", c.mac}, {"ok", c.ok}};
      if (!c.ok) j["message"] = c.message;
      cj.push_back(j);
    }
    Json dj = Json::object();
    for (const std::string& f : fields) {
      Json per = Json::object();
      for (std::size_t c = 0; c < cams.size(); ++c)
        if (cams[c].ok) per[cams[c].label] = values[f][c];
      dj[f] = Json{{"majority", majority[f] ? Json(*majority[f]) : Json()}, {"values", per}};
    }
    // The values are UTF-8 already.
    std::cout << Dump(Json{{"cameras", cj}, {"differences", dj}}) << '\n';
  } else if (o.csv) {
    std::vector<std::string> head{"field", "majority"};
    for (const AuditCamera& c : cams)
      if (c.ok) head.push_back(c.label);
    std::cout << CsvRow(head);
    for (const std::string& f : fields) {
      std::vector<std::string> row{f, majority[f].value_or("")};
      for (std::size_t c = 0; c < cams.size(); ++c)
        if (cams[c].ok) row.push_back(values[f][c]);
      std::cout << CsvRow(row);
    }
  } else {
    if (fields.empty()) {
      std::cout << "Every camera that could be read has the same settings.\n";
    } else {
      PrintAuditTable(cams, fields, values, majority);
    }
  }
  for (const AuditCamera& c : cams) {
    if (c.ok) continue;
    if (ExitStatus() == 0) ExitStatus() = kExitFailed;
    std::cerr << "orvantis-cli: " << PlainText(c.label + " " + c.mac)
              << ": cannot be read: " << PlainText(c.message) << '\n';
  }
}

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

}  // namespace

void RegisterPlanCommands(CLI::App& app) {
  auto apply = std::make_shared<BatchOptions>();
  auto* a = app.add_subcommand("apply", "Apply a plan of settings to many cameras");
  a->add_option("PLAN", apply->plan, "The plan: JSON, or CSV for the flat case")->required();
  AddBatchOptions(a, *apply);
  a->add_flag("--dry-run", apply->dryRun,
              "Do everything up to the save and print what would change; write nothing");
  a->callback([apply] { RunApply(*apply); });

  auto audit = std::make_shared<BatchOptions>();
  auto* u = app.add_subcommand(
      "audit", "Read every camera found and show the settings that differ between them");
  u->add_option("--plan", audit->plan, "Instead, show where each camera differs from the plan");
  AddBatchOptions(u, *audit);
  u->add_flag("--csv", audit->csv, "The table as CSV")->excludes(u->get_option("--json"));
  u->callback([audit] { RunAudit(*audit); });
}

}  // namespace orv::cli
