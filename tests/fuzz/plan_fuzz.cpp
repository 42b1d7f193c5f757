// Plan reader: any bytes give a plan or a message naming where it went wrong, never both; a plan's
// entries are bounded, name a camera one way, and each applies to a record without crashing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/app/plan.h"
#include "core/platform/codepage.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orv::SetSystemCodePage(orv::kCodePageUtf8);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  orv::Plan plan;
  std::string error;
  if (!orv::ParsePlan(text, plan, error)) {
    Check(!error.empty() && plan.entries.empty());
    return 0;
  }
  Check(!plan.entries.empty() && plan.entries.size() <= orv::kPlanEntryLimit);
  for (const orv::PlanEntry& e : plan.entries) {
    Check(e.mac.empty() != e.address.empty() && !e.sets.empty() && !e.where.empty());
    orv::SessionRecord s;
    const orv::ChangeSet c = orv::ApplyPlanEntry(s, e);
    Check(!(c.refusal && !c.changes.empty()));
    orv::PlanDifferences(s, e);
  }
  return 0;
}
