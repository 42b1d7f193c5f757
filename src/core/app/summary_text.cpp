#include "core/app/summary_text.h"

#include <string_view>

#include "core/platform/codepage.h"

namespace orv {
namespace {

std::string Local(std::string_view bytes) {
  return LocalToUtf8(bytes);
}

// "label:value" lines of a fixed address set.
std::string FixedAddressText(const SummaryLabels& l, std::string_view addr, std::string_view mask,
                             std::string_view gateway, std::string_view dns) {
  return l.radioFixIp + ":" + Local(addr) + "\n" + l.submask + ":" + Local(mask) + "\n" +
         l.gateway + ":" + Local(gateway) + "\n" + l.dns + ":" + Local(dns);
}

std::optional<std::string> NetworkText(const SessionRecord& s, const SummaryLabels& l) {
  const NetworkSettings& n = s.net;
  switch (n.IPType) {
    case 2:
      return "PPPoE:\n" + l.userId + ":\n" + Local(n.PAccount.view()) + "\n" + l.password + ":\n" +
             Local(n.PPwd.view());
    case 0:
    case 1:
      // A camera moving to a fixed wireless address will answer there, not at its wired one.
      if (UsesWirelessLink(s) && n.WIPType == 1)
        return FixedAddressText(l, n.WIPAddr.view(), n.WNetmask.view(), n.WGateway.view(),
                                n.WDNS1.view());
      if (n.IPType == 0)
        return l.radioDhcp + "\n" + l.gateway + ":" + Local(s.pcGatewayText.view());
      return FixedAddressText(l, n.IPAddr.view(), n.Netmask.view(), n.Gateway.view(),
                              n.DNS1.view());
    default:
      return std::nullopt;
  }
}

std::string WirelessText(const SessionRecord& s, const SummaryLabels& l) {
  if (s.sys.wirelessCapable != 1) return l.notSupposeWireless;
  if (s.linkWireless != 1) return l.notUseWireless;
  if (s.useWps == 1) return l.useWps + "\n" + (s.wpsAck == 1 ? l.wpsSucceeded : l.wpsFailed);
  static constexpr std::string_view kSecurity[] = {"none", "WEP", "WPA-PSK", "WPA2-PSK"};
  // A security mode the page does not know is left blank rather than guessed.
  const std::string_view security = s.net.WireSec <= 3 ? kSecurity[s.net.WireSec] : "";
  return l.ssid + ":" + Local(s.net.SSID.view()) + "\n" + l.security + ":" + std::string(security);
}

std::string UpnpText(const SessionRecord& s, const SummaryLabels& l) {
  const SystemSettings& y = s.sys;
  return (y.UPnPE == 1 ? l.upnpOn : l.upnpOff) + "\n" + l.httpPort + ":" +
         std::to_string(static_cast<int>(y.HttpPort)) + "\n" + l.streamPort + ":" +
         std::to_string(static_cast<int>(y.secondPort)) + "\n" + l.rtspPort + ":" +
         std::to_string(static_cast<int>(y.RTSPPort));
}

}  // namespace

bool UsesWirelessLink(const SessionRecord& session) {
  return session.sys.wirelessCapable == 1 && session.linkWireless == 1;
}

SummaryTexts BuildSummaryTexts(const SessionRecord& session, const SummaryLabels& labels) {
  SummaryTexts texts;
  texts.system = labels.hostname + Local(session.sys.TitleBar.view()) + "\n" + labels.description +
                 Local(session.sys.Desp.view());
  texts.network = NetworkText(session, labels);
  texts.wireless = WirelessText(session, labels);
  texts.upnp = UpnpText(session, labels);
  return texts;
}

}  // namespace orv
