#include "core/app/address_rules.h"

#include "core/util/ipv4.h"

namespace orv {

namespace {

// Splits "a.b.c.d" (some parts possibly empty) into at most four parts; false for a fifth.
bool SplitOctets(std::string_view text, std::string_view (&parts)[4], int& count) {
  count = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = text.find('.', start);
    if (count == 4) return false;
    parts[count++] = text.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

// 1 to 3 decimal digits, 0-255.
std::optional<int> Octet(std::string_view part) {
  if (part.empty() || part.size() > 3) return std::nullopt;
  int value = 0;
  for (char c : part) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 255) return std::nullopt;
  return value;
}

// A set's fields in the record.
struct SetMembers {
  std::uint8_t NetworkSettings::*type;
  FixedText<64> NetworkSettings::*addr;
  FixedText<64> NetworkSettings::*mask;
  FixedText<64> NetworkSettings::*gateway;
  FixedText<64> NetworkSettings::*dns1;
  FixedText<64> NetworkSettings::*dns2;
};

const SetMembers& MembersOf(AddressSet set) {
  using N = NetworkSettings;
  static constexpr SetMembers kWired{&N::IPType,  &N::IPAddr, &N::Netmask,
                                     &N::Gateway, &N::DNS1,   &N::DNS2};
  static constexpr SetMembers kWireless{&N::WIPType,  &N::WIPAddr, &N::WNetmask,
                                        &N::WGateway, &N::WDNS1,   &N::WDNS2};
  return set == AddressSet::Wireless ? kWireless : kWired;
}

// Type 1 and the fields; the wizard page has no second DNS field and leaves it alone.
void StoreFixed(NetworkSettings& n, const SetMembers& m, const AddressFields& f, bool withDns2) {
  n.*m.type = 1;
  n.*m.addr = f.addr;
  n.*m.mask = f.mask;
  n.*m.gateway = f.gateway;
  n.*m.dns1 = f.dns1;
  if (withDns2) n.*m.dns2 = f.dns2;
}

}  // namespace

std::optional<std::uint32_t> ParseAddressField(std::string_view text) {
  std::string_view parts[4];
  int count = 0;
  if (!SplitOctets(text, parts, count) || count != 4) return std::nullopt;
  std::uint8_t octets[4] = {};
  for (int i = 0; i < 4; ++i) {
    const std::optional<int> v = Octet(parts[i]);
    if (!v) return std::nullopt;
    octets[i] = static_cast<std::uint8_t>(*v);
  }
  return MakeIpv4(octets[0], octets[1], octets[2], octets[3]);
}

std::string AddressFieldText(std::string_view recordText) {
  const std::optional<std::uint32_t> addr = ParseAddressField(recordText);
  return addr ? FormatIpv4(*addr) : std::string();
}

std::string AddressFromTyped(std::string_view typed) {
  std::string_view parts[4];
  int count = 0;
  std::uint8_t octets[4] = {};
  if (SplitOctets(typed, parts, count)) {
    for (int i = 0; i < count; ++i)
      octets[i] = static_cast<std::uint8_t>(Octet(parts[i]).value_or(0));
  }
  return FormatIpv4(MakeIpv4(octets[0], octets[1], octets[2], octets[3]));
}

std::optional<int> TypedFirstOctet(std::string_view typed) {
  return Octet(typed.substr(0, typed.find('.')));
}

std::optional<std::string> MaskForFirstOctet(int firstOctet) {
  if (firstOctet >= 128 && firstOctet <= 191) return std::string("255.255.0.0");
  if (firstOctet >= 192 && firstOctet <= 223) return std::string("255.255.255.0");
  return std::nullopt;
}

AddressMode AddressModeOf(std::uint8_t type) {
  if (type == 0) return AddressMode::Dhcp;
  if (type == 1) return AddressMode::Fixed;
  return AddressMode::None;
}

AddressMode AddressModeOf(const SessionRecord& s, AddressSet set) {
  return AddressModeOf(s.net.*MembersOf(set).type);
}

AddressFields AddressFieldsOf(const SessionRecord& s, AddressSet set) {
  const NetworkSettings& n = s.net;
  const SetMembers& m = MembersOf(set);
  return {AddressFieldText((n.*m.addr).view()), AddressFieldText((n.*m.mask).view()),
          AddressFieldText((n.*m.gateway).view()), AddressFieldText((n.*m.dns1).view()),
          AddressFieldText((n.*m.dns2).view())};
}

bool StoreAddress(SessionRecord& s, AddressSet set, AddressMode mode, const AddressFields& f) {
  switch (mode) {
    case AddressMode::None:
      return false;
    case AddressMode::Dhcp:
      s.net.*MembersOf(set).type = 0;
      return true;
    case AddressMode::Fixed:
      StoreFixed(s.net, MembersOf(set), f, true);
      return true;
  }
  return false;
}

WizardAddressProposal ProposeWizardAddress(SessionRecord& s,
                                           const std::vector<std::uint32_t>& suggested) {
  WizardAddressProposal p;
  if (s.pcDhcp == 1) {
    p.dhcp = true;
    s.net.IPType = 0;
    return p;
  }
  s.net.IPType = 1;
  // Only an address that was probed and found free is proposed; none leaves the field blank.
  if (!suggested.empty() && suggested.front() != 0) p.fields.addr = FormatIpv4(suggested.front());
  p.fields.mask = AddressFieldText(s.pcMaskText.view());
  p.fields.gateway = AddressFieldText(s.pcGatewayText.view());
  p.fields.dns1 = AddressFieldText(s.pcDnsText.view());
  return p;
}

void ChooseWizardDhcp(SessionRecord& s) {
  s.net.IPType = 0;
}

void StoreWizardAddress(SessionRecord& s, AddressMode mode, const AddressFields& f) {
  if (mode == AddressMode::Dhcp) {
    s.net.*MembersOf(s.linkWireless == 1 ? AddressSet::Wireless : AddressSet::Wired).type = 0;
  } else if (mode == AddressMode::Fixed) {
    const bool wireless = Capable(s.sys.wirelessCapable) && s.linkWireless == 1;
    StoreFixed(s.net, MembersOf(wireless ? AddressSet::Wireless : AddressSet::Wired), f, false);
  }
}

AddressTestReport ReportAddressTest(AddressUse use) {
  switch (use) {
    case AddressUse::InUse:
      return AddressTestReport::InUse;
    case AddressUse::Free:
      return AddressTestReport::Free;
    case AddressUse::Failed:
      break;
  }
  return AddressTestReport::NotTested;
}

AddressUse TestWizardAddress(HostNetwork* net, const SessionRecord& s, std::uint32_t address) {
  if (net == nullptr || address == 0) return AddressUse::Failed;
  return TestAddressInUse(*net, s, address);
}

}  // namespace orv
