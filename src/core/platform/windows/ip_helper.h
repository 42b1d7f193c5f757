#pragma once
// The IP Helper calls behind the Windows host network. They sit behind an interface so that tests
// can record what the host network asks of the system: wine implements few of them, and a real
// add changes the PC's network.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/platform/host_network.h"
#include "core/platform/windows/adapter_table.h"
#include "core/platform/windows/win_common.h"

namespace orv::win {

class IpHelper {
 public:
  virtual ~IpHelper() = default;
  // GetAdaptersAddresses; false when the table cannot be read.
  virtual bool ReadAdapters(std::vector<AdapterRow>& out) = 0;
  // InitializeUnicastIpAddressEntry: a row with the system's defaults.
  virtual MIB_UNICASTIPADDRESS_ROW NewAddressRow() = 0;
  // CreateUnicastIpAddressEntry, SetUnicastIpAddressEntry, DeleteUnicastIpAddressEntry.
  virtual DWORD CreateAddress(const MIB_UNICASTIPADDRESS_ROW& row) = 0;
  virtual DWORD SetAddress(const MIB_UNICASTIPADDRESS_ROW& row) = 0;
  virtual DWORD DeleteAddress(const MIB_UNICASTIPADDRESS_ROW& row) = 0;
  // SendARP for target from source (0: the system chooses); macLength is the length of the
  // hardware address that answered.
  virtual DWORD SendArp(std::uint32_t target, std::uint32_t source, ULONG& macLength) = 0;
};

std::unique_ptr<IpHelper> SystemIpHelper();

// The host network over helper. Without an adapter named in options, ORVANTIS_ADAPTER names it.
std::unique_ptr<HostNetwork> CreateWindowsHostNetwork(HostNetworkOptions options,
                                                      std::unique_ptr<IpHelper> helper);

}  // namespace orv::win
