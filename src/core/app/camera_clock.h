#pragma once
// The camera's date and time in the record are a reading of a clock (the camera's, by the read job,
// or the PC's, taken by a page) at one instant. Sent later as they stand they would set the
// camera's clock back by the minutes the user spent on the pages and the save spent on the earlier
// writes, so the save moves them on by the time elapsed since that instant.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/session_record.h"

namespace orv {

using MonotonicClock = std::chrono::steady_clock;

// Date and Time were just read or taken.
void NoteClockTaken(SessionRecord& session, MonotonicClock::time_point at = MonotonicClock::now());
// Date and Time are the user's own texts: sent as typed.
void ForgetClockInstant(SessionRecord& session);

struct CameraDateTime {
  std::string date;  // "YYYY/MM/DD"
  std::string time;  // "HH:MM:SS"
};

// "YYYY/MM/DD" and "HH:MM:SS" (one or two digits for month, day and the time parts) moved on by
// seconds, across days, months and leap years; nullopt when either text is not in that layout or
// names no real date or time.
std::optional<CameraDateTime> AddSeconds(std::string_view date, std::string_view time,
                                         std::int64_t seconds);

// A date or a time alone in the layout AddSeconds reads, naming a real date or time of day.
bool IsCameraDate(std::string_view date);
bool IsCameraTime(std::string_view time);

// Just before the time write: Date and Time move on by the whole seconds since the instant, and
// the instant moves with them (no drift over repeated saves). Without an instant, or with texts
// not in the layout, nothing changes.
void AdvanceClockToNow(SessionRecord& session,
                       MonotonicClock::time_point now = MonotonicClock::now());

}  // namespace orv
