#pragma once
// The address pages' own rules: what their fields load from the record, what Next stores, the
// wizard page's proposal and mask rule, and how its ARP test is reported. Which step each Next
// posts is in navigation.h.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/hostnet/temporary_address.h"
#include "core/model/session_record.h"

namespace orv {

// A field's text loaded from the record: four decimal octets 0-255 separated by dots (leading
// zeros read as decimal, as a person reads them). Anything else, empty text included, gives
// nothing: the field shows blank rather than an address nobody chose.
std::optional<std::uint32_t> ParseAddressField(std::string_view text);
// The text a field shows for a record value: the address, or empty.
std::string AddressFieldText(std::string_view recordText);

// A field's typed text as the record keeps it: "%d.%d.%d.%d", blank or missing octets as 0.
// Octets outside 0-255 cannot be typed; they are stored as 0 too.
std::string AddressFromTyped(std::string_view typed);

// The octet a typed text starts with, when it is complete enough to say (1 to 3 digits).
std::optional<int> TypedFirstOctet(std::string_view typed);

// The wizard page's mask rule for a first octet: 128-191 and 192-223 get their network's mask;
// any other value leaves the mask as it is.
std::optional<std::string> MaskForFirstOctet(int firstOctet);

// A camera's capability byte: only 1 means capable. Anything else counts as 0, so every Next that
// looks at it goes somewhere.
inline bool Capable(std::uint8_t byte) {
  return byte == 1;
}

// The radio buttons of an address page. None: neither is checked.
enum class AddressMode { None, Dhcp, Fixed };
// What an address-type byte selects: 0 DHCP, 1 fixed; any other (2 is PPPoE) selects nothing.
AddressMode AddressModeOf(std::uint8_t type);

// The five (wired and wireless pages) or four (wizard page, dns2 unused) fields, as dotted quads.
struct AddressFields {
  std::string addr;
  std::string mask;
  std::string gateway;
  std::string dns1;
  std::string dns2;
};

// The camera's two address sets: the wired one (IPType, IPAddr, ...) and the wireless one
// (WIPType, WIPAddr, ...).
enum class AddressSet { Wired, Wireless };

// What the set's type byte selects, and the set as its page's fields show it.
AddressMode AddressModeOf(const SessionRecord& s, AddressSet set);
AddressFields AddressFieldsOf(const SessionRecord& s, AddressSet set);

// Next on the wired or wireless page. False when neither button is checked ("Please choose
// one !"): nothing is stored. DHCP stores only the type; fixed stores the type and the five fields.
bool StoreAddress(SessionRecord& s, AddressSet set, AddressMode mode, const AddressFields& f);

// The wizard page when it is shown: a PC on DHCP proposes DHCP (IPType 0); otherwise a fixed
// address (IPType 1) with the first suggested free address, or blank when there is none, and the
// PC's own mask, gateway and DNS server.
struct WizardAddressProposal {
  bool dhcp = false;
  AddressFields fields;  // shown only when !dhcp; dns2 unused
};
WizardAddressProposal ProposeWizardAddress(SessionRecord& s,
                                           const std::vector<std::uint32_t>& suggested);

// The wizard page's DHCP button: the wired type goes to DHCP at once.
void ChooseWizardDhcp(SessionRecord& s);

// Next on the wizard page. The wireless set is written when the camera is wireless-capable and
// the wireless link was chosen, the wired set otherwise (DNS2 untouched). DHCP on a wireless link
// sets WIPType only; the DHCP button has set IPType already.
void StoreWizardAddress(SessionRecord& s, AddressMode mode, const AddressFields& f);

// The wizard page's ARP test, as the user is told: in use (stop icon), free (information), or not
// tested (warning) when the request could not be made or there was no address to test.
enum class AddressTestReport { InUse, Free, NotTested };
AddressTestReport ReportAddressTest(AddressUse use);

// The test button's one ARP request, from the PC's own address. A blank field (0.0.0.0) or a
// missing network is not asked about and comes back Failed.
AddressUse TestWizardAddress(HostNetwork* net, const SessionRecord& s, std::uint32_t address);

}  // namespace orv
