// apply: one plan for many cameras. Exit status 0 only when every camera is done or unchanged
// (a dry run: would change or unchanged); 1 otherwise; 2 for an unusable plan, password file or
// option; 128+N after Ctrl-C or another signal N, once the report is out.

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
#include "core/app/plan.h"
#include "core/platform/env.h"
#include "output.h"
#include "plan_targets.h"
#include "progress.h"

namespace orv::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string ChangeText(const FieldChange& c) {
  if (c.secret) return c.field + " (changed)";
  return c.field + " " + c.before + " -> " + c.after;
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
    batch.Report(JsonLine(j));
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
    ExitStatus() = kBatchExitUsage;
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
    ExitStatus() = good == static_cast<int>(targets.size()) ? 0 : kBatchExitFailed;
  }
}
}  // namespace

void RegisterApplyCommand(CLI::App& app) {
  auto apply = std::make_shared<BatchOptions>();
  auto* a = app.add_subcommand("apply", "Apply a plan of settings to many cameras");
  a->add_option("PLAN", apply->plan, "The plan: JSON, or CSV for the flat case")->required();
  AddBatchOptions(a, *apply);
  a->add_flag("--dry-run", apply->dryRun,
              "Do everything up to the save and print what would change; write nothing");
  a->callback([apply] { RunApply(*apply); });
}

}  // namespace orv::cli
