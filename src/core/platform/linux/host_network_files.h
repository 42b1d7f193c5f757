#pragma once
// Small readers for the system files the Linux host-network backend consults: sysfs facts of an
// adapter, the resolver files, DHCP leases and NetworkManager key files. Every path is below a root
// prefix so tests can point them at a temporary folder; every read is bounded.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/host_network.h"

namespace orv::linuxnet {

inline constexpr std::size_t kMaxSystemFile = 256 * 1024;

std::optional<std::string> ReadSmallFile(const std::string& path,
                                         std::size_t maxBytes = kMaxSystemFile);
// Regular files of a folder, sorted by name; empty when it cannot be read.
std::vector<std::string> ListFilesSorted(const std::string& dir);

// An INI-style key file: "[section]" headers and "key=value" lines; '#' and ';' start comments.
struct KeyFileEntry {
  std::string section;
  std::string key;
  std::string value;
};
std::vector<KeyFileEntry> ParseKeyFile(const std::string& text);
std::optional<std::string> KeyFileValue(const std::vector<KeyFileEntry>& entries,
                                        const std::string& section, const std::string& key);

struct SysfsFacts {
  bool known = false;         // the adapter appears in sysfs at all
  bool deviceBacked = false;  // a real device stands behind it
  bool wireless = false;      // an IEEE 802.11 adapter
};
SysfsFacts ReadSysfsFacts(const std::string& root, const std::string& ifName);

// First IPv4 DNS server for an adapter: its systemd-networkd link state, then the resolver's
// upstream list, NetworkManager's, and resolv.conf. The local stub resolver is never reported.
std::optional<std::string> FirstDnsServer(const std::string& root, std::uint32_t ifIndex);
// Every IPv4 DNS server the PC may use: of every adapter's systemd-networkd state and of every
// resolver file FirstDnsServer consults, without repeats (the local stub resolver aside).
std::vector<std::uint32_t> AllDnsServers(const std::string& root);
// First usable IPv4 "nameserver" of a resolv.conf text.
std::optional<std::string> FirstNameserver(const std::string& resolvConfText);

// The DHCP server of the adapter's current lease, when a lease file names it.
std::optional<std::string> DhcpServerFromLease(const std::string& root, std::uint32_t ifIndex);

// NetworkManager keeps a connection for this adapter with an automatic IPv4 method.
bool NetworkManagerUsesDhcp(const std::string& root, const std::string& ifName);

// One adapter as the backend sees it before the preference rules.
struct LinkFacts {
  AdapterInfo info;
  bool lan = false;  // Ethernet or wireless
  bool deviceBacked = false;
};
// Sorts by index; demotes virtual LAN adapters (veth, bridges) to Other while a device-backed one
// is up; and moves the adapter named `wanted`, if any, to the end so that it is the one chosen.
void ApplyAdapterPreference(std::vector<LinkFacts>& links, const std::string& wanted);

// NetworkManager's connection folders below root, in the order they are consulted.
std::vector<std::string> NetworkManagerConnectionDirs(const std::string& root);

}  // namespace orv::linuxnet
