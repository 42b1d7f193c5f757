#include "core/app/system_rules.h"

#include "core/app/camera_clock.h"
#include "core/app/credential_text.h"

namespace orv {

std::string UpdateIntervalName(int hours) {
  return std::to_string(hours) + " hour";
}

namespace {

ListLoad SelectIfListed(std::int32_t value, int count) {
  if (value >= 0 && value < count) return {ListLoad::Kind::Select, value};
  return {ListLoad::Kind::NoSelection, -1};
}

void StoreIfChosen(std::int32_t& field, int index, int count) {
  if (index >= 0 && index < count) field = index;
}

// Bytes of each text field, its terminator aside.
template <typename Field>
constexpr std::size_t Room(const Field&) {
  return Field::kWidth - 1;
}

}  // namespace

SystemShown SystemOnPrepare(const SessionRecord& s) {
  SystemShown shown;
  if (s.sys.NTPEN == 0) shown.mode = ClockMode::Keep;
  if (s.sys.NTPEN != 1) return shown;
  shown.mode = ClockMode::Automatic;
  shown.ntpServerFromRecord = true;
  shown.timeZone = SelectIfListed(s.sys.Timezone, kTimeZoneCount);
  shown.interval = SelectIfListed(s.sys.NTPPoll, kUpdateIntervalCount);
  return shown;
}

SystemProblem SystemNextChecked(SessionRecord& s, const SystemTyped& typed) {
  const std::optional<std::string> host = FitLocalText(typed.hostName, Room(s.sys.TitleBar));
  if (!host) return SystemProblem::HostNameRefused;
  const std::optional<std::string> description = FitLocalText(typed.description, Room(s.sys.Desp));
  if (!description) return SystemProblem::DescriptionRefused;
  std::optional<std::string> date;
  std::optional<std::string> time;
  std::optional<std::string> server;
  if (typed.mode == ClockMode::Manual) {
    // The layout the hints show, as the camera takes it; plain ASCII that fits its field.
    if (!IsCameraDate(typed.date)) return SystemProblem::DateRefused;
    if (!IsCameraTime(typed.time)) return SystemProblem::TimeRefused;
    date = typed.date;
    time = typed.time;
  } else if (typed.mode == ClockMode::Automatic) {
    server = FitLocalText(typed.ntpServer, Room(s.sys.NTPName));
    if (!server) return SystemProblem::NtpServerRefused;
  }

  s.sys.TitleBar = *host;
  s.sys.Desp = *description;
  if (!typed.mode) return SystemProblem::None;
  switch (*typed.mode) {
    case ClockMode::Keep:
      s.sys.NTPEN = 0;
      break;
    case ClockMode::Sync:
      s.sys.NTPEN = 0;
      s.sys.Date = typed.pcDate;
      s.sys.Time = typed.pcTime;
      NoteClockTaken(s);
      break;
    case ClockMode::Manual:
      s.sys.NTPEN = 0;
      s.sys.Date = *date;
      s.sys.Time = *time;
      ForgetClockInstant(s);
      break;
    case ClockMode::Automatic:
      s.sys.NTPEN = 1;
      s.sys.NTPName = *server;
      StoreIfChosen(s.sys.Timezone, typed.timeZoneIndex, kTimeZoneCount);
      StoreIfChosen(s.sys.NTPPoll, typed.intervalIndex, kUpdateIntervalCount);
      break;
  }
  return SystemProblem::None;
}

}  // namespace orv
