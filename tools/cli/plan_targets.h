#pragma once
// What apply and audit share: their options, the plan's cameras with their passwords and
// discovery rows, and how a camera and its changes are named in a report.

#include <CLI/CLI.hpp>
#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "camera_batch.h"
#include "core/app/plan.h"
#include "core/discovery/camera_entry.h"

namespace orv::cli {

inline constexpr int kBatchExitFailed = 1;
inline constexpr int kBatchExitUsage = 2;

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

// The options both commands take.
void AddBatchOptions(CLI::App* cmd, BatchOptions& o);

// A message for unusable input on standard error, and the exit status for it.
void UsageError(const std::string& message);

// One JSON object on one line; texts that are not UTF-8 replaced.
std::string JsonLine(const nlohmann::ordered_json& j);

// The page's message for a refusal, as the English pack words it.
std::string RefusalText(const Refusal& r);

// A plan's camera and the password it logs in with.
struct Target {
  const PlanEntry* entry = nullptr;  // none for audit without a plan
  std::string password;
  std::optional<CameraEntry> row;  // its discovery row, when it answered
};

// Reads and checks the plan and every password file it names. False after a message.
bool LoadPlan(const BatchOptions& o, Plan& plan, std::vector<Target>& targets);

// One discovery; matches the plan's cameras to its rows, by MAC or address.
void FindTargets(const BatchOptions& o, std::vector<Target>& targets);

// The order to work in: the subnets taking turns.
std::vector<std::size_t> RunOrder(const std::vector<Target>& targets);

// "MAC (address)" or "address": how the report names a plan's camera.
std::string CameraName(const Target& t);

// [{"field": ..., "before": ..., "after": ...}], a secret as {"field": ..., "changed": true}.
nlohmann::ordered_json ChangesJson(const std::vector<FieldChange>& changes);

}  // namespace orv::cli
