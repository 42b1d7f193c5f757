#pragma once
// What the two wireless pages show and store: the access-point list of the wizard (the chosen
// access point's properties, only the key typed) and the manual wireless page (every setting by
// hand). Pages hand over their controls' indexes and texts (UTF-8) and show what comes back.
//
// List indexes that come from the camera are range-checked: a value outside its list leaves the
// list without a selection, and a list without a selection keeps the record's value.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/camera_http/requests.h"
#include "core/model/session_record.h"

namespace orv::wireless {

inline constexpr int kNoChoice = -1;

// WEP key format list: HEX, ASCII.
inline constexpr int kWepHex = 0;
inline constexpr int kWepAscii = 1;

// Characters of a WEP key: HEX 10 or 26, ASCII 5 or 13 (64 or 128 bits).
int WepKeyChars(int format, bool bits128);

enum class Problem {
  None,
  WepKeyEmpty,
  WepKeyNotHex,
  WepKeyLength,  // not exactly the characters the length and format ask for
  WpaKeyEmpty,
  NotStorable,  // a typed text that the system code page cannot hold unchanged in its field
};

// Empty, non-hexadecimal (HEX), or the wrong length: an ASCII key counts its characters and
// holds printable ASCII only.
Problem CheckWepKey(std::string_view utf8, int format, bool bits128);

// "AP 1", "AP 2", ... for list entry index 0, 1, ...
std::string AccessPointName(std::size_t index);

// A name from the air (an SSID) as UTF-8 for display: the text as the system code page reads it
// when it converts back unchanged and holds no control character; otherwise printable ASCII as it
// stands and every other byte as \xHH (a backslash as \\).
std::string DisplayName(std::string_view bytes);

// Which key controls an access point's security text enables.
enum class KeyControls { Keep, None, Wep, Wpa };
KeyControls KeyControlsFor(std::string_view security);

// ---- The access-point list

struct ApListInput {
  std::size_t chosen = 0;  // index in the adopted list
  int keyLength = 0;       // 0: 64, 1: 128
  int keyNumber = 0;       // 0..3
  int keyFormat = kWepAscii;
  int authMode = 0;  // 0 Open, 1 Shared
  std::string wepKey;
  std::string wpaKey;
};

struct NextAnswer {
  Problem problem = Problem::None;
  int step = 0;  // posted when problem is None
};

// Next: checks first, then stores (a refused Next leaves the record alone). No access point
// (an empty list) clears SSID and goes on.
NextAnswer ApListNext(SessionRecord& s, const std::vector<AccessPointEntry>& list,
                      const ApListInput& in);

// ---- The manual page

// "Auto" and the channels a ChType allows; empty for an unknown ChType.
std::vector<std::string> ChannelList(int chType);
// "Auto", "1M", ... "54M".
const std::vector<std::string>& TxRateList();

// What the manual page shows for a record.
struct ManualView {
  std::string ssid;  // UTF-8 (DisplayName)
  std::vector<std::string> channels;
  int channel = kNoChoice;
  bool channelEnabled = false;
  int mode = kNoChoice;  // WireType
  int rate = kNoChoice;  // TxRate's entry
  int security = kNoChoice;
  int authMode = kNoChoice;
  int keyLength = 0;  // 0: "64 bits", 1: "128 bits"
  int keyFormat = kNoChoice;
  int keyNumber = kNoChoice;
  std::string wepKeys[4];  // UTF-8
  int algorithm = kNoChoice;
  std::string wpaKey;  // UTF-8
};
ManualView LoadManual(const SessionRecord& s);

// A text field of the page: what it holds and whether the user changed it since the page was
// prepared (an unchanged text keeps the record's bytes, so a name or key that does not convert
// cleanly survives a visit).
struct TypedText {
  std::string utf8;
  bool changed = false;
};

struct ManualInput {
  TypedText ssid;
  int mode = kNoChoice;
  int channel = kNoChoice;  // index in ChannelList(ChType)
  int rate = kNoChoice;
  int security = kNoChoice;
  int authMode = kNoChoice;
  int keyLength = 0;
  int keyFormat = kNoChoice;
  int keyNumber = kNoChoice;
  TypedText wepKey;  // the key of keyNumber
  int algorithm = kNoChoice;
  TypedText wpaKey;
};

// Next: checks first, then stores. A WEP key is checked and kept as the record holds it while its
// text is unchanged; it belongs to the chosen default key, else to the camera's own, else (the
// camera's is outside 0-3) to key 1, which becomes the default: typed input is never dropped.
NextAnswer ManualNext(SessionRecord& s, const ManualInput& in);

}  // namespace orv::wireless
