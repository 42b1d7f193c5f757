#include "core/app/summary_text.h"

#include <string_view>

#include "core/platform/codepage.h"

namespace orv {
namespace {

std::string Local(std::string_view bytes) {
  return LocalToUtf8(bytes);
}

// "label:value" lines of a fixed address set, headed by the set's own label.
std::string FixedAddressText(const std::string& heading, const SummaryLabels& l,
                             std::string_view addr, std::string_view mask, std::string_view gateway,
                             std::string_view dns) {
  return heading + ":" + Local(addr) + "\n" + l.submask + ":" + Local(mask) + "\n" + l.gateway +
         ":" + Local(gateway) + "\n" + l.dns + ":" + Local(dns);
}

// The full network write carries the wireless set, the WPS save's short one does not.
bool WritesFixedWirelessAddress(const SessionRecord& s) {
  return s.useWps != 1 && s.net.WIPType == 1;
}

// The wired set by its address type; then the wireless set when the save writes a fixed one.
std::optional<std::string> NetworkText(const SessionRecord& s, const SummaryLabels& l) {
  const NetworkSettings& n = s.net;
  std::string text;
  switch (n.IPType) {
    case 2:
      text = "PPPoE:\n" + l.userId + ":\n" + Local(n.PAccount.view()) + "\n" + l.password + ":\n" +
             Local(n.PPwd.view());
      break;
    case 0:
      text = l.radioDhcp + "\n" + l.gateway + ":" + Local(s.pcGatewayText.view());
      break;
    case 1:
      text = FixedAddressText(l.radioFixIp, l, n.IPAddr.view(), n.Netmask.view(), n.Gateway.view(),
                              n.DNS1.view());
      break;
    default:
      return std::nullopt;
  }
  if (WritesFixedWirelessAddress(s))
    text += "\n" + FixedAddressText(l.fixedWirelessIp, l, n.WIPAddr.view(), n.WNetmask.view(),
                                    n.WGateway.view(), n.WDNS1.view());
  return text;
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
