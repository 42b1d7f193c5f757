#include "core/app/camera_clock.h"

#include <cstdio>

namespace orv {

namespace {

// Digits only, at least minDigits and at most maxDigits of them, then the end or sep.
bool TakeNumber(std::string_view& text, std::size_t minDigits, std::size_t maxDigits, int& out) {
  std::size_t n = 0;
  int value = 0;
  while (n < text.size() && n < maxDigits && text[n] >= '0' && text[n] <= '9') {
    value = value * 10 + (text[n] - '0');
    ++n;
  }
  if (n < minDigits) return false;
  text.remove_prefix(n);
  out = value;
  return true;
}

bool TakeSeparator(std::string_view& text, char sep) {
  if (text.empty() || text.front() != sep) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

void NoteClockTaken(SessionRecord& session, MonotonicClock::time_point at) {
  session.sys.clockTakenAt = at;
}

void ForgetClockInstant(SessionRecord& session) {
  session.sys.clockTakenAt.reset();
}

std::optional<CameraDateTime> AddSeconds(std::string_view date, std::string_view time,
                                         std::int64_t seconds) {
  using namespace std::chrono;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (!TakeNumber(date, 4, 4, y) || !TakeSeparator(date, '/') || !TakeNumber(date, 1, 2, mo) ||
      !TakeSeparator(date, '/') || !TakeNumber(date, 1, 2, d) || !date.empty())
    return std::nullopt;
  if (!TakeNumber(time, 1, 2, h) || !TakeSeparator(time, ':') || !TakeNumber(time, 1, 2, mi) ||
      !TakeSeparator(time, ':') || !TakeNumber(time, 1, 2, s) || !time.empty())
    return std::nullopt;
  const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)},
                           day{static_cast<unsigned>(d)}};
  if (!ymd.ok() || h > 23 || mi > 59 || s > 59) return std::nullopt;

  // Local civil time without a zone: the camera keeps the same kind of clock.
  const sys_seconds start = sys_days{ymd} + hours{h} + minutes{mi} + std::chrono::seconds{s};
  const sys_seconds end = start + std::chrono::seconds{seconds};
  const sys_days endDay = floor<days>(end);
  const year_month_day out{endDay};
  const hh_mm_ss clock{end - endDay};
  if (!out.ok() || static_cast<int>(out.year()) < 0 || static_cast<int>(out.year()) > 9999)
    return std::nullopt;

  char dateText[16];
  char timeText[16];
  std::snprintf(dateText, sizeof dateText, "%04d/%02u/%02u", static_cast<int>(out.year()),
                static_cast<unsigned>(out.month()), static_cast<unsigned>(out.day()));
  std::snprintf(timeText, sizeof timeText, "%02d:%02d:%02d",
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return CameraDateTime{dateText, timeText};
}

bool IsCameraDate(std::string_view date) {
  return AddSeconds(date, "00:00:00", 0).has_value();
}

bool IsCameraTime(std::string_view time) {
  return AddSeconds("2000/01/01", time, 0).has_value();
}

void AdvanceClockToNow(SessionRecord& session, MonotonicClock::time_point now) {
  if (!session.sys.clockTakenAt) return;
  const MonotonicClock::time_point at = *session.sys.clockTakenAt;
  if (now <= at) return;
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - at);
  if (elapsed.count() == 0) return;
  const std::optional<CameraDateTime> moved =
      AddSeconds(session.sys.Date.view(), session.sys.Time.view(), elapsed.count());
  if (!moved) return;
  session.sys.Date = moved->date;
  session.sys.Time = moved->time;
  session.sys.clockTakenAt = at + elapsed;
}

}  // namespace orv
