#pragma once
// The system page: host name, description and how the camera keeps its clock. What the page shows
// from the record, and what Next checks and stores.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/session_record.h"

namespace orv {

// The time-zone list, in the camera's order: index n is GMT n-12 and is sent as it stands.
inline constexpr std::array<std::string_view, 25> kTimeZoneNames = {
    "(GMT-12) Eniwetok",
    "(GMT-11) Midway Islands, Samoa",
    "(GMT-10) Cook Islands,Tahiti",
    "(GMT-9) Alaska",
    "(GMT-8) PST,Pacific US",
    "(GMT-7) MST,Mountain US",
    "(GMT-6) CST,Central US",
    "(GMT-5) EST,Eastern US",
    "(GMT-4) Atlantic, Canada",
    "(GMT-3) Brazo;oa,Buenos Aries",
    "(GMT-2) Mid-Atlantic",
    "(GMT-1) Cape Verdes",
    "(GMT) Greenwich Mean Time,Greenwich",
    "(GMT+1) Berlin,Rome",
    "(GMT+2) Israel,Cairo",
    "(GMT+3) Moscow,Kuwait",
    "(GMT+4) Abu Dhabi",
    "(GMT+5) Islamabad,Karachi",
    "(GMT+6) Almaty,Dhaka",
    "(GMT+7) Bangkok,Jakarta",
    "(GMT+8) Taipei,Hongkong,Beijing",
    "(GMT+9) Tokyo,Osaka",
    "(GMT+10) Sydney,Melbourne,Guam",
    "(GMT+11) Magadan,soloman IS.",
    "(GMT+12)Fiji,Wellington,Aucklan",
};
inline constexpr int kTimeZoneCount = static_cast<int>(kTimeZoneNames.size());
inline constexpr int kDefaultTimeZone = 20;
// The update-interval list: index n is n hours.
inline constexpr int kUpdateIntervalCount = 24;
inline constexpr int kDefaultUpdateInterval = 12;
// "0 hour" ... "23 hour".
std::string UpdateIntervalName(int hours);

// Characters the page lets the user type (loaded values are never cut to these).
inline constexpr int kHostNameTypingLimit = 63;
inline constexpr int kDescriptionTypingLimit = 32;
inline constexpr int kNtpServerTypingLimit = 256;

enum class ClockMode { Keep, Sync, Manual, Automatic };

// How a list is loaded: set to an index, or shown with no selection because the record holds a
// value the list does not have (kept unless the user picks one).
struct ListLoad {
  enum class Kind { Select, NoSelection };
  Kind kind = Kind::Select;
  int index = -1;
};

struct SystemShown {
  std::optional<ClockMode> mode;     // none: the radio buttons stay as they are
  bool ntpServerFromRecord = false;  // else the field starts empty
  ListLoad timeZone{ListLoad::Kind::Select, kDefaultTimeZone};
  ListLoad interval{ListLoad::Kind::Select, kDefaultUpdateInterval};
};
// Prepare: the texts always load; NTPEN 0 checks Keep, 1 checks Automatic, any other value leaves
// the radio buttons. The time-server part shows the record's server, zone and interval when NTPEN
// is 1, else the page's own start values (no server, zone 20, 12 hours), as for the first camera:
// never what it showed for another one, so Automatic stores exactly what is on screen.
SystemShown SystemOnPrepare(const SessionRecord& session);

struct SystemTyped {
  std::string_view hostName;  // UTF-8, as typed
  std::string_view description;
  std::optional<ClockMode> mode;  // none: no clock mode is checked
  std::string_view date;          // the manual fields
  std::string_view time;
  std::string_view ntpServer;
  int timeZoneIndex = -1;  // the lists' selections; -1 for none
  int intervalIndex = -1;
  std::string_view pcDate;  // the PC's clock at the click, "YYYY/MM/DD" and "HH:MM:SS" (Sync)
  std::string_view pcTime;
};

enum class SystemProblem {
  None,
  HostNameRefused,  // does not fit its field in the system code page, or changes on the way
  DescriptionRefused,
  DateRefused,  // a manual date not a real one as yyyy/mm/dd (month and day may have one digit)
  TimeRefused,  // a manual time not one of the day as hh:mm:ss (each part may have one digit)
  NtpServerRefused,
};

// Next: every text is checked before anything is stored; then the texts, then the clock fields of
// the checked mode. A list with no selection keeps the record's value.
SystemProblem SystemNextChecked(SessionRecord& session, const SystemTyped& typed);

}  // namespace orv
