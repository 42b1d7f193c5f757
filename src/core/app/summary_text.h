#pragma once
// The four texts of the summary page, built from the session record before anything is written to
// the camera. Labels are printed exactly as the language pack gives them (they carry their own
// punctuation); record texts are converted from the system code page. Everything is UTF-8.

#include <optional>
#include <string>

#include "core/model/session_record.h"

namespace orv {

struct SummaryLabels {
  // System page labels.
  std::string hostname;
  std::string description;
  // PPPoE account labels.
  std::string userId;
  std::string password;
  // Address labels.
  std::string radioDhcp;
  std::string radioFixIp;
  std::string fixedWirelessIp;  // heads the wireless set
  std::string submask;
  std::string gateway;
  std::string dns;
  // Wireless lines and labels.
  std::string useWps;
  std::string wpsSucceeded;
  std::string wpsFailed;
  std::string notUseWireless;
  std::string notSupposeWireless;
  std::string ssid;
  std::string security;
  // UPnP lines and port labels.
  std::string upnpOn;
  std::string upnpOff;
  std::string httpPort;
  std::string streamPort;
  std::string rtspPort;
};

struct SummaryTexts {
  std::string system;
  // Nothing when the address type is none the page knows: the page keeps its earlier text.
  std::optional<std::string> network;
  std::string wireless;
  std::string upnp;
};

// The network text shows what the save writes: the wired set by IPType, and after it the wireless
// set when that is a fixed address (both are written).
SummaryTexts BuildSummaryTexts(const SessionRecord& session, const SummaryLabels& labels);

}  // namespace orv
