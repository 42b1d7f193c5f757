#pragma once
// The choices of the link-choice and setup-type pages: which link buttons are checked and enabled,
// and what Next writes into the record and which step it posts.

#include <string_view>

#include "core/model/session_record.h"

namespace orv {

enum class LinkKind { Lan, Wireless, Pppoe };

// The link radio buttons. A "disable" flag turns that button off; false leaves it as it was.
struct LinkButtons {
  LinkKind checked = LinkKind::Lan;
  bool disableLan = false;
  bool disableWireless = false;
  bool disablePppoe = false;
};

// Each time the page is shown: from the PC's adapters. Enables nothing.
LinkButtons LinkButtonsOnPrepare(const SessionRecord& session);
// "Yes": every link button is enabled first, then these apply.
LinkButtons LinkButtonsOnYes(const SessionRecord& session);

// Next of the link-choice page; returns the step to post. The link flags that do not belong to the
// chosen link are cleared, so a later save never mixes a PPPoE address type with a wireless link.
int ApplyLinkChoice(SessionRecord& session, bool addNewCamera, LinkKind link);

// Setup-type page. Prepare: wizard setup only for a camera with the extended request set.
bool WizardSetupOffered(const SessionRecord& session);
// Next with the wizard: the camera clock is set from the PC's ("YYYY/MM/DD", "HH:MM:SS").
int ApplyWizardSetup(SessionRecord& session, std::string_view date, std::string_view time);
int ApplyManualSetup(SessionRecord& session);

}  // namespace orv
