#pragma once
// The session record: everything the program knows about the chosen camera, the user's choices and
// the PC's own adapter, in one block owned by the main window. Fields keep the documented order and
// widths (text widths include the terminator; flags are bytes holding 0 or 1). Byte offsets are not
// part of any contract, so the struct is not packed.

#include <chrono>
#include <cstdint>
#include <optional>

#include "core/model/connect_flag.h"
#include "core/util/fixed_text.h"

namespace orv {

// Camera settings of the network page and the PPPoE account (written by the settings parser).
struct NetworkSettings {
  std::uint8_t IPType = 0;  // 0 DHCP, 1 fixed, 2 PPPoE
  FixedText<64> IPAddr;
  FixedText<64> Netmask;
  FixedText<64> Gateway;
  FixedText<64> DNS1;
  FixedText<64> DNS2;
  FixedText<64> PAccount;
  FixedText<64> PPwd;
  FixedText<64> PVP;
  std::uint8_t Wireless = 0;
  std::uint8_t WireType = 0;  // 1 infrastructure, 0 ad-hoc
  FixedText<64> SSID;
  std::uint8_t WireCh = 0;
  std::uint8_t ChType = 0;
  std::uint8_t WireSec = 0;  // 0 none, 1 WEP, 2 WPA-PSK, 3 WPA2-PSK
  FixedText<64> TxRate;
  std::uint8_t WIPType = 0;
  FixedText<64> WIPAddr;
  FixedText<64> WNetmask;
  FixedText<64> WGateway;
  FixedText<64> WDNS1;
  FixedText<64> WDNS2;
  std::uint8_t WPAEnc = 0;  // 0 AES, 1 TKIP
  std::uint8_t WPAPSKeyM = 0;
  FixedText<256> WPAKey;
  std::uint8_t WEPAuthM = 0;
  std::uint8_t WEPMode = 0;
  std::uint8_t WEPKeyE0 = 0;
  std::uint8_t WepKeyL = 0;
  FixedText<256> WEPKey0;
  FixedText<256> WEPKey1;
  FixedText<256> WEPKey2;
  FixedText<256> WEPKey3;
};

// Camera settings of the system, capability, dynamic-DNS, time, port, version and NAT pages.
struct SystemSettings {
  std::uint8_t SECUEN = 0;  // 1: the camera requires authentication
  FixedText<32> ModelName;
  FixedText<64> TitleBar;
  FixedText<64> Desp;
  std::uint8_t wpsCapable = 0;
  std::uint8_t wirelessCapable = 0;
  std::uint8_t Transversal = 0;
  std::uint8_t DDNS = 0;
  FixedText<64> DDNSSrv;
  FixedText<256> DDNSHost;
  FixedText<64> DDNSUser;
  FixedText<64> DDNSPwd;
  std::uint8_t NTPEN = 0;
  FixedText<256> NTPName;
  std::int32_t Timezone = 0;
  std::int32_t NTPPoll = 0;
  FixedText<16> Date;  // "%Y/%m/%d"
  FixedText<16> Time;  // "%H:%M:%S"
  // When Date and Time were read from the camera or taken from the PC (none: typed by hand, or
  // never set). The save advances them by the time since, so the camera's clock is not set back.
  std::optional<std::chrono::steady_clock::time_point> clockTakenAt;
  std::uint8_t UPnPE = 0;
  std::uint32_t HttpPort = 0;
  std::uint32_t secondPort = 0;  // "RTPPort=" (config family) or "SPort=" (legacy family)
  std::uint32_t RTSPPort = 0;
  FixedText<16> Version;
  std::uint8_t NATStat = 0;
  FixedText<256> ExtIPAddr;
  std::int32_t ExtHttpPort = 0;
};

struct SessionRecord {
  std::uint8_t extendedCgi = 0;
  std::uint32_t cameraAddr = 0;  // network byte order
  FixedText<260> cameraSerial;
  std::uint8_t cameraWireless = 0;
  std::uint8_t legacyCamera = 0;
  FixedText<8> cameraPortText;
  FixedText<64> cameraAddrText;
  // PC adapter the picked camera answered on (0: unknown); the subnet step works on it.
  std::uint32_t cameraIfIndex = 0;
  ConnectFlag connectAllowed;  // starts 0; the owner sets 1 and clears it at shut-down
  std::uint8_t apScanOk = 0;
  std::uint32_t apCount = 0;
  std::uint8_t wpsStatus = 0;
  std::uint8_t wpsAck = 0;
  std::uint8_t reserved1 = 0;
  NetworkSettings net;
  std::uint8_t wizardMode = 0;  // 1 wizard setup, 0 manual setup
  std::uint8_t useWps = 0;
  std::uint8_t newCamera = 0;
  std::uint8_t linkWireless = 0;
  std::uint8_t linkPppoe = 0;
  std::uint8_t pathSearch = 0;
  std::uint8_t pathSetup = 0;
  std::uint8_t pathFirmware = 0;
  FixedText<64> pcAddrText;
  FixedText<64> pcMaskText;
  FixedText<64> pcGatewayText;
  FixedText<64> pcDnsText;
  FixedText<64> reserved2;
  std::uint32_t pcIfIndex = 0;
  FixedText<64> pcPppoeUser;
  FixedText<64> pcPppoePassword;
  std::uint8_t pcHasPpp = 0;
  std::uint8_t pcHasLan = 0;
  std::uint8_t pcHasWifi = 0;
  std::uint8_t pcDhcp = 0;
  std::uint8_t internetReachable = 0;
  SystemSettings sys;
  FixedText<64> userName;
  FixedText<64> password;
};

}  // namespace orv
