#pragma once
// What the host-network logic needs from the operating system: the adapter list, per-adapter
// facts, the host address table, adding and deleting a secondary IPv4 address, and one ARP
// request. Addresses are 32-bit values in network byte order (first octet in the first byte).

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orv {

enum class AdapterType { Other, Ethernet, Ppp, Wireless };

struct AdapterInfo {
  std::uint32_t index = 0;
  std::string name;
  AdapterType type = AdapterType::Other;
  bool up = false;
};

struct AdapterDetails {
  std::vector<std::string> addressTexts;  // dotted quads, first = primary
  std::vector<std::string> maskTexts;     // one per address
  std::vector<std::string> gatewayTexts;
  // 0 off; 1 on, and dhcpServerText (when known) says whether a lease is really held; other
  // values mean on without a server check.
  std::uint32_t dhcpEnabled = 0;
  std::optional<std::string> dhcpServerText;
};

// Result codes of ListAdapters besides 0.
inline constexpr int kHostNetNoData = 232;
// Result code of AddAddress when orvantis-netd refused the address.
inline constexpr int kHostNetRefused = 233;

enum class ArpAnswer { Answered, NoAnswer, Error };

class HostNetwork {
 public:
  virtual ~HostNetwork() = default;

  // Adapters in the order the system lists them. 0 on success, kHostNetNoData when there are
  // none, another code on failure with errorText set to the reason.
  virtual int ListAdapters(std::vector<AdapterInfo>& out, std::string& errorText) = 0;

  // Facts of one adapter; false when they cannot be read.
  virtual bool ReadAdapterDetails(std::uint32_t ifIndex, AdapterDetails& out) = 0;

  // First DNS server of one adapter; false when none is known.
  virtual bool ReadDnsServer(std::uint32_t ifIndex, std::string& out) = 0;

  // Every IPv4 address of the host; false when the table cannot be read.
  virtual bool ReadAddressTable(std::vector<std::uint32_t>& out) = 0;

  // Adds addr with mask on ifIndex to reach the camera at camera (the helper adds it only while
  // that camera answers); on success context identifies it for deletion. 0, kHostNetRefused when
  // the helper refused (LastError() says why), or an error code (errno-style) with LastError().
  virtual int AddAddress(std::uint32_t addr, std::uint32_t mask, std::uint32_t ifIndex,
                         std::uint32_t camera, std::uint32_t& context) = 0;
  virtual int DeleteAddress(std::uint32_t context) = 0;

  // Renews the finite lifetime of an address this object added (no-op where there is none).
  virtual int RefreshAddress(std::uint32_t context) = 0;

  // One ARP request for target from source, out of adapter ifIndex (0: the source address decides).
  // The host's own addresses count as answered.
  virtual ArpAnswer SendArpOn(std::uint32_t ifIndex, std::uint32_t target,
                              std::uint32_t source) = 0;
  ArpAnswer SendArp(std::uint32_t target, std::uint32_t source) {
    return SendArpOn(0, target, source);
  }

  // Address and adapter of an address this object added; false when the context is unknown.
  virtual bool AddedAddress(std::uint32_t context, std::uint32_t& addr, std::uint32_t& ifIndex) {
    (void)context;
    (void)addr;
    (void)ifIndex;
    return false;
  }

  // True when the user named the adapter to use: it then wins over the one a camera answered on.
  virtual bool AdapterOverridden() const { return false; }

  // The reason of the last failure, for diagnostics of the tools.
  virtual std::string LastError() const = 0;
};

struct HostNetworkOptions {
  // Prefix for every system file read (/etc, /run, /sys); empty for the real system.
  std::string fileRoot;
  // Adapter to prefer by name; empty means the ORVANTIS_ADAPTER environment value, if any.
  std::string adapterOverride;
  // Valid lifetime of added addresses; refreshed by AddressLifetimeRefresher while running.
  std::chrono::seconds addressLifetime{120};
  // How long an unanswered ARP request is waited for.
  std::chrono::milliseconds arpTimeout{1000};
};

// Reads ORVANTIS_ADAPTER and ORVANTIS_ADDR_LIFETIME (seconds) into the defaults.
HostNetworkOptions HostNetworkOptionsFromEnvironment();

// The backend of this operating system.
std::unique_ptr<HostNetwork> CreateHostNetwork(const HostNetworkOptions& options);

}  // namespace orv
