#pragma once
// A plan for many cameras: which camera (by MAC or address), which fields to set by the record's
// field names, and where the password is. Plans are written by people and come from outside, so
// they are bounded and every fault is named by its entry or line. The change set applies one
// entry to a camera's record read from the camera and checks the result with the pages' own rules.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/model/session_record.h"

namespace orv {

inline constexpr std::size_t kPlanFileLimit = 1024 * 1024;
inline constexpr std::size_t kPlanEntryLimit = 1024;

struct PlanEntry {
  std::string where;    // "entry 3" (JSON) or "line 4" (CSV), for messages
  std::string mac;      // "00:1A:2B:3C:4D:5E" (upper case) or empty
  std::string address;  // dotted quad or empty; one of the two is set
  std::vector<std::pair<std::string, std::string>> sets;  // field name, value (UTF-8 as given)
  std::string passwordFile;                               // empty: the plan's
};

struct Plan {
  std::string passwordFile;
  std::vector<PlanEntry> entries;
};

// JSON (an array of entries, or {"password_file": ..., "cameras": [...]}) when the text starts
// with '[' or '{', else CSV with a header row: a "mac" or "address" column, an optional
// "password_file" column, and one column per field (an empty cell leaves the field alone).
// False with a message naming the line or entry.
bool ParsePlan(std::string_view text, Plan& plan, std::string& error);

// "00-1a-2b-3c-4d-5e" and "00:1A:2B:3C:4D:5E" give the latter; anything else nothing.
std::optional<std::string> NormaliseMac(std::string_view text);

// A file that may hold secrets: at most limit bytes, and not readable by other users unless
// allowed. False with a message naming the file.
bool ReadPrivateFile(const std::filesystem::path& path, std::size_t limit, bool allowOthers,
                     std::string& text, std::string& error);

// A field that changes, its texts in UTF-8; a secret's texts are never filled.
struct FieldChange {
  std::string field;
  std::string before;
  std::string after;
  bool secret = false;
};

// A page rule that refuses the result: the page's message by its pack section and key, or a text
// when no page could produce the value at all (a list index outside the list).
struct Refusal {
  std::string field;
  std::string section;
  std::string key;
  std::string text;
};

struct ChangeSet {
  std::vector<FieldChange> changes;
  std::optional<Refusal> refusal;  // then the record is left as it was
};

// Applies the entry's fields to s (read from the camera) and checks the pages whose fields it
// touches with their Next rules, keeping what those rules store. Refused: s is unchanged.
ChangeSet ApplyPlanEntry(SessionRecord& s, const PlanEntry& entry);

// The fields where s differs from the entry's values, compared as they stand (no page rule: a
// check of what a camera holds, not a change). before is the camera's value, after the plan's.
std::vector<FieldChange> PlanDifferences(const SessionRecord& s, const PlanEntry& entry);

// Every camera field of s as UTF-8 text (numbers in decimal), in record order; secrets as a hash
// so that two records can be compared without showing them. The camera's clock (Date, Time) is
// left out: it is a reading that differs by the second, not a setting.
std::vector<std::pair<std::string, std::string>> ComparableFields(const SessionRecord& s);

}  // namespace orv
