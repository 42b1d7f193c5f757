#include "core/app/link_info.h"

namespace orv {

LinkInfo ClassifyLink(const SessionRecord& session, const LinkLabels& labels) {
  const bool reachable = session.internetReachable == 1;
  const bool lan = session.pcHasLan == 1;
  const bool ppp = session.pcHasPpp == 1;
  const std::string& addressKind =
      session.pcDhcp == 1 ? labels.dynamicAddress : labels.fixedAddress;

  if (!reachable) {
    // Only a plain LAN without a dial-up link gets its own picture.
    if (lan && !ppp) return {LinkPicture::NoInternet, labels.notConnected};
    return {LinkPicture::Unchanged, labels.notConnected};
  }
  // With both up, the PC is taken to dial PPPoE over its LAN adapter.
  if (lan && ppp) return {LinkPicture::Pppoe, labels.pppoe + "\n" + addressKind};
  if (lan) return {LinkPicture::Ethernet, labels.ethernet + "\n" + addressKind};
  if (ppp) return {LinkPicture::Pppoe, labels.pppoe};
  return {LinkPicture::Unchanged, labels.fixedAddress};
}

}  // namespace orv
