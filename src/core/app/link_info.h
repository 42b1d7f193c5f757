#pragma once
// How the home page describes the PC's own Internet link: a picture role and one or two lines of
// text, from the adapter facts and the start-up reachability probe of the session record.

#include <string>

#include "core/model/session_record.h"

namespace orv {

// The picture roles; Unchanged keeps whatever the page showed before.
enum class LinkPicture { Unchanged, Pppoe, Ethernet, NoInternet };

// The five labels of the active language pack, as UTF-8.
struct LinkLabels {
  std::string ethernet;
  std::string pppoe;
  std::string fixedAddress;
  std::string dynamicAddress;
  std::string notConnected;
};

struct LinkInfo {
  LinkPicture picture = LinkPicture::Unchanged;
  std::string text;  // lines joined by a single "\n"
};

// A flag counts only when it is exactly 1; anything else reads as "not up".
LinkInfo ClassifyLink(const SessionRecord& session, const LinkLabels& labels);

}  // namespace orv
