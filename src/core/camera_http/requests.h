#pragma once
// The camera's CGI requests and the link-server query, as the jobs and pages call them. Every call
// is one HTTP/1.0 exchange on its own connection to session.cameraAddrText:cameraPortText.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model/session_record.h"
#include "core/util/fixed_text.h"

namespace orv {

// Result codes shared by every camera request.
enum ResultCode : int {
  Ok = 0,
  ErrConnect = -1,
  ErrSend = -2,
  ErrNoResponse = -3,
  ErrNotFound = -4,       // "HTTP/1.0 404 Not Found"
  ErrNotFoundOther = -5,  // "404 Not Found"
  ErrFailure = -6,        // "402 Failure"
  ErrNoNetworkData = -7,  // network read without "WPAPSKeyM="
  ErrUnauthorized = -8,   // "Unauthorized"
};

// Request selectors.
inline constexpr int kActRead = 1;
inline constexpr int kActWrite = 2;
inline constexpr int kActQuery = 3;
inline constexpr int kPageTime = 0;  // always with sub-page 15
inline constexpr int kPageSystem = 1;
inline constexpr int kPageNetwork = 3;
inline constexpr int kPageDdns = 13;
inline constexpr int kPageVersion = 23;
inline constexpr int kPageCapabilities = 32;
inline constexpr int kPageNatStatus = 34;
inline constexpr int kSubPageTime = 15;
inline constexpr int kSubPageShortNetwork = 18;

struct AccessPointEntry {
  std::uint8_t Channel = 0;
  FixedText<64> Mac_address;
  FixedText<64> SSID;
  std::uint8_t Quality = 0;
  FixedText<64> Mode;
  FixedText<64> Security;
  FixedText<64> Algorithm;
};

struct LinkServerCameraEntry {
  FixedText<256> ID;
  FixedText<256> IP;
  FixedText<64> Port;
  FixedText<64> Mac_address;
  FixedText<256> Modelname;
};

// The general request: reads (act 1) are parsed into the record on success.
int CameraRequest(SessionRecord& session, int act, int page, int subPage);

// A system-page read that always carries the Basic header (after the root login dialog).
int LoginRead(SessionRecord& session);

// Sets apScanOk and apCount; the entries on success (possibly none), std::nullopt on failure.
std::optional<std::vector<AccessPointEntry>> ScanAccessPoints(SessionRecord& session);

// act 1: start the camera's WPS push-button session; act 3 with page 3: poll wpsStatus/wpsAck.
int WpsRequest(SessionRecord& session, int act, int page);

// The link-server list for an account; page 2 or 3. std::nullopt on any failure.
std::optional<std::vector<LinkServerCameraEntry>> QueryLinkServer(const std::string& host,
                                                                  const std::string& port,
                                                                  const std::string& id,
                                                                  const std::string& password,
                                                                  int page);
// The same, given up once connectAllowed is cleared (the window closing).
std::optional<std::vector<LinkServerCameraEntry>> QueryLinkServer(
    const ConnectFlag& connectAllowed, const std::string& host, const std::string& port,
    const std::string& id, const std::string& password, int page);

}  // namespace orv
