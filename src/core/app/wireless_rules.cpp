#include "core/app/wireless_rules.h"

#include <cstdio>

#include "core/app/credential_text.h"
#include "core/app/navigation.h"
#include "core/platform/codepage.h"

namespace orv::wireless {
namespace {

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsPrintableAscii(char c) {
  return c >= 0x20 && c <= 0x7e;
}

int ParseDecimal(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > 255) return 255;
  }
  return value;
}

// The record's field for key number 0..3.
FixedText<256>* WepKeyField(NetworkSettings& n, int number) {
  switch (number) {
    case 0:
      return &n.WEPKey0;
    case 1:
      return &n.WEPKey1;
    case 2:
      return &n.WEPKey2;
    case 3:
      return &n.WEPKey3;
    default:
      return nullptr;
  }
}

// A value from the camera used as a list index: the index, or no selection when out of range.
int InRange(int value, int count) {
  return value >= 0 && value < count ? value : kNoChoice;
}

// What a typed text becomes in its field, when it fits unchanged.
std::optional<std::string> Storable(const TypedText& t, std::size_t maxBytes) {
  return FitLocalText(t.utf8, maxBytes);
}

}  // namespace

int WepKeyChars(int format, bool bits128) {
  if (format == kWepHex) return bits128 ? 26 : 10;
  return bits128 ? 13 : 5;
}

Problem CheckWepKey(std::string_view utf8, int format, bool bits128) {
  if (utf8.empty()) return Problem::WepKeyEmpty;
  if (format == kWepHex) {
    for (char c : utf8)
      if (!IsHex(c)) return Problem::WepKeyNotHex;
  } else {
    for (char c : utf8)
      if (!IsPrintableAscii(c)) return Problem::WepKeyLength;
  }
  if (utf8.size() != static_cast<std::size_t>(WepKeyChars(format, bits128)))
    return Problem::WepKeyLength;
  return Problem::None;
}

std::string AccessPointName(std::size_t index) {
  return "AP " + std::to_string(index + 1);
}

std::string DisplayName(std::string_view bytes) {
  const std::string utf8 = LocalToUtf8(bytes);
  bool clean = Utf8ToLocal(utf8) == bytes;
  for (std::size_t i = 0; clean && i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x20 || c == 0x7f || c == '\\') clean = false;
    // C1 controls U+0080..U+009F are C2 80..C2 9F in UTF-8.
    if (c == 0xc2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xa0)
      clean = false;
  }
  if (clean) return utf8;
  std::string out;
  for (char ch : bytes) {
    if (ch == '\\') {
      out += "\\\\";
    } else if (IsPrintableAscii(ch)) {
      out += ch;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X",
                    static_cast<unsigned>(static_cast<unsigned char>(ch)));
      out += hex;
    }
  }
  return out;
}

KeyControls KeyControlsFor(std::string_view security) {
  if (security == "None") return KeyControls::None;
  if (security == "WEP") return KeyControls::Wep;
  if (security == "WPA-PSK" || security == "WPA2-PSK" || security == "WPA-PSK/WPA2-PSK")
    return KeyControls::Wpa;
  return KeyControls::Keep;
}

NextAnswer ApListNext(SessionRecord& s, const std::vector<AccessPointEntry>& list,
                      const ApListInput& in) {
  if (list.empty() || in.chosen >= list.size()) {
    s.net.SSID.clear();
    return {Problem::None, nav::kApListNext};
  }
  const AccessPointEntry& ap = list[in.chosen];
  const std::string_view security = ap.Security.view();
  const KeyControls kind = KeyControlsFor(security);

  std::optional<std::string> wpaKey;
  if (kind == KeyControls::Wep) {
    const Problem p = CheckWepKey(in.wepKey, in.keyFormat, in.keyLength == 1);
    if (p != Problem::None) return {p, nav::kNoStep};
  } else if (kind == KeyControls::Wpa) {
    if (in.wpaKey.empty()) return {Problem::WpaKeyEmpty, nav::kNoStep};
    wpaKey = FitLocalText(in.wpaKey, decltype(s.net.WPAKey)::kWidth - 1);
    if (!wpaKey) return {Problem::NotStorable, nav::kNoStep};
  }

  NetworkSettings& n = s.net;
  n.SSID = ap.SSID.view();  // the bytes from the air, as the scan gave them
  const std::string_view mode = ap.Mode.view();
  if (mode == "Infrastructure" || mode == "Infra") n.WireType = 1;
  if (mode == "Adhoc") n.WireType = 0;
  n.WireCh = ap.Channel;
  const std::string_view algorithm = ap.Algorithm.view();
  if (algorithm == "AES" || algorithm == "TKIP/AES") n.WPAEnc = 0;
  if (algorithm == "TKIP") n.WPAEnc = 1;

  if (security == "None") {
    n.WireSec = 0;
  } else if (kind == KeyControls::Wep) {
    n.WireSec = 1;
    n.WepKeyL = in.keyLength == 1 ? 1 : 0;
    n.WEPKeyE0 =
        static_cast<std::uint8_t>(InRange(in.keyNumber, 4) == kNoChoice ? 0 : in.keyNumber);
    n.WEPMode = in.keyFormat == kWepHex ? kWepHex : kWepAscii;
    n.WEPAuthM = in.authMode == 1 ? 1 : 0;
    if (n.WEPMode == kWepHex) {
      for (int i = 0; i < 4; ++i) WepKeyField(n, i)->clear();
    }
    WepKeyField(n, n.WEPKeyE0)->assign(in.wepKey);
  } else if (kind == KeyControls::Wpa) {
    n.WireSec = security == "WPA-PSK" ? 2 : 3;
    n.WPAKey = *wpaKey;
  }
  return {Problem::None, nav::kApListNext};
}

std::vector<std::string> ChannelList(int chType) {
  int first = 0;
  int last = -1;
  switch (chType) {
    case 0:
      first = 1, last = 11;
      break;
    case 1:
      first = 1, last = 13;
      break;
    case 2:
      first = 1, last = 14;
      break;
    case 3:
      first = 10, last = 13;
      break;
    case 4:
      first = 10, last = 11;
      break;
    case 5:
      first = 5, last = 13;
      break;
    default:
      return {};
  }
  std::vector<std::string> list{"Auto"};
  for (int c = first; c <= last; ++c) list.push_back(std::to_string(c));
  return list;
}

const std::vector<std::string>& TxRateList() {
  static const std::vector<std::string> kRates{"Auto", "1M",  "2M",  "5.5M", "11M", "6M", "9M",
                                               "12M",  "18M", "24M", "36M",  "48M", "54M"};
  return kRates;
}

ManualView LoadManual(const SessionRecord& s) {
  const NetworkSettings& n = s.net;
  ManualView v;
  v.ssid = DisplayName(n.SSID.view());
  v.channels = ChannelList(n.ChType);
  if (n.WireCh != 0) {
    const std::string want = std::to_string(n.WireCh);
    for (std::size_t i = 1; i < v.channels.size(); ++i) {
      if (v.channels[i].compare(0, want.size(), want) == 0) {
        v.channel = static_cast<int>(i);
        break;
      }
    }
  }
  v.channelEnabled = n.WireSec != 0;
  v.mode = InRange(n.WireType, 2);
  const auto& rates = TxRateList();
  for (std::size_t i = 0; i < rates.size(); ++i)
    if (n.TxRate.view() == rates[i]) v.rate = static_cast<int>(i);
  v.security = InRange(n.WireSec, 4);
  v.authMode = InRange(n.WEPAuthM, 2);
  v.keyFormat = InRange(n.WEPMode, 2);
  v.keyNumber = InRange(n.WEPKeyE0, 4);
  v.algorithm = InRange(n.WPAEnc, 2);
  for (int i = 0; i < 4; ++i)
    v.wepKeys[i] = DisplayName(WepKeyField(const_cast<NetworkSettings&>(n), i)->view());
  v.wpaKey = DisplayName(n.WPAKey.view());
  // The length list follows the stored length (0/1 from the list page, 64/128 from this one),
  // else the key's own length, so a 128-bit key is never shown under a 64-bit limit.
  if (n.WepKeyL == 1 || n.WepKeyL == 128) {
    v.keyLength = 1;
  } else if (n.WepKeyL == 0 || n.WepKeyL == 64) {
    v.keyLength = 0;
  } else {
    const int number = v.keyNumber == kNoChoice ? 0 : v.keyNumber;
    const std::size_t len = v.wepKeys[number].size();
    v.keyLength = len == 26 || len == 13 ? 1 : 0;
  }
  return v;
}

NextAnswer ManualNext(SessionRecord& s, const ManualInput& in) {
  NetworkSettings& n = s.net;
  const int security = in.security != kNoChoice ? in.security : n.WireSec;
  const int format = in.keyFormat != kNoChoice ? in.keyFormat : n.WEPMode;
  // No key chosen and none of the camera's own: the key goes to key 1 rather than nowhere.
  const int number = InRange(in.keyNumber, 4) != kNoChoice ? in.keyNumber
                     : InRange(n.WEPKeyE0, 4) != kNoChoice ? n.WEPKeyE0
                                                           : 0;

  std::optional<std::string> ssid;
  if (in.ssid.changed) {
    ssid = Storable(in.ssid, decltype(n.SSID)::kWidth - 1);
    if (!ssid) return {Problem::NotStorable, nav::kNoStep};
  }
  std::optional<std::string> wepKey;
  std::optional<std::string> wpaKey;
  if (security == 1) {
    // An unchanged key is checked as the record holds it, not as its display text escapes it.
    const std::string_view key =
        in.wepKey.changed ? std::string_view(in.wepKey.utf8) : WepKeyField(n, number)->view();
    const Problem p = CheckWepKey(key, format == kWepHex ? kWepHex : kWepAscii, in.keyLength == 1);
    if (p != Problem::None) return {p, nav::kNoStep};
    if (in.wepKey.changed) wepKey = in.wepKey.utf8;  // checked: ASCII only
  } else if (security == 2 || security == 3) {
    if (in.wpaKey.utf8.empty()) return {Problem::WpaKeyEmpty, nav::kNoStep};
    if (in.wpaKey.changed) {
      wpaKey = Storable(in.wpaKey, decltype(n.WPAKey)::kWidth - 1);
      if (!wpaKey) return {Problem::NotStorable, nav::kNoStep};
    }
  }

  if (ssid) n.SSID = *ssid;
  if (in.mode != kNoChoice) n.WireType = static_cast<std::uint8_t>(in.mode);
  if (in.security != kNoChoice) n.WireSec = static_cast<std::uint8_t>(in.security);
  if (in.algorithm != kNoChoice) n.WPAEnc = static_cast<std::uint8_t>(in.algorithm);
  const auto& rates = TxRateList();
  if (in.rate >= 0 && in.rate < static_cast<int>(rates.size())) n.TxRate = rates[in.rate];
  const std::vector<std::string> channels = ChannelList(n.ChType);
  if (in.channel >= 0 && in.channel < static_cast<int>(channels.size()))
    n.WireCh = static_cast<std::uint8_t>(in.channel == 0 ? 0 : ParseDecimal(channels[in.channel]));

  if (security == 1) {
    n.WepKeyL = in.keyLength == 1 ? 128 : 64;
    if (in.keyFormat != kNoChoice) n.WEPMode = static_cast<std::uint8_t>(in.keyFormat);
    n.WEPKeyE0 = static_cast<std::uint8_t>(number);
    if (in.authMode != kNoChoice) n.WEPAuthM = static_cast<std::uint8_t>(in.authMode);
    if (wepKey) *WepKeyField(n, number) = *wepKey;
  } else if (security == 2 || security == 3) {
    if (wpaKey) n.WPAKey = *wpaKey;
  }
  return {Problem::None, nav::kAccessPointNext};
}

}  // namespace orv::wireless
