// audit: which cameras differ, or where each differs from a plan. Exit status 0 when every camera
// was read (and, with --plan, matches it); 1 otherwise; 2 for unusable input; 128+N after Ctrl-C
// or another signal N, once the report is out.

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "camera_batch.h"
#include "commands.h"
#include "core/app/camera_fields.h"
#include "core/app/plan.h"
#include "core/platform/codepage.h"
#include "core/platform/env.h"
#include "core/util/csv.h"
#include "core/util/text_boundary.h"
#include "output.h"
#include "plan_targets.h"
#include "progress.h"

namespace orv::cli {

namespace {

using Json = nlohmann::ordered_json;

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
      UsageError(error);
      return;
    }
    if (o.passwordFile.empty()) common = EnvOverride("ORVANTIS_PASSWORD").value_or("");
    targets.push_back(Target{nullptr, common, std::nullopt});
  }
  EnableProgress(!o.json && !o.csv);
  CameraBatch batch(o.adapter, o.jobs, !o.json && !o.csv);
  if (!batch.Ready()) {
    ExitStatus() = kBatchExitUsage;
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
      if (!matches && ExitStatus() == 0) ExitStatus() = kBatchExitFailed;
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
    if (o.json) std::cout << JsonLine(Json{{"cameras", all}}) << '\n';
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
    std::cout << JsonLine(Json{{"cameras", cj}, {"differences", dj}}) << '\n';
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
    if (ExitStatus() == 0) ExitStatus() = kBatchExitFailed;
    std::cerr << "orvantis-cli: " << PlainText(c.label + " " + c.mac)
              << ": cannot be read: " << PlainText(c.message) << '\n';
  }
}
}  // namespace

void RegisterAuditCommand(CLI::App& app) {
  auto audit = std::make_shared<BatchOptions>();
  auto* u = app.add_subcommand(
      "audit", "Read every camera found and show the settings that differ between them");
  u->add_option("--plan", audit->plan, "Instead, show where each camera differs from the plan");
  AddBatchOptions(u, *audit);
  u->add_flag("--csv", audit->csv, "The table as CSV")->excludes(u->get_option("--json"));
  u->callback([audit] { RunAudit(*audit); });
}

}  // namespace orv::cli
