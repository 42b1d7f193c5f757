#pragma once
// Reaching a camera in another subnet for the length of one command, as the window does: the
// adapter it answers on (named by --adapter, else learnt by one short discovery request), then a
// temporary address there, removed when the command ends, however it ends.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/hostnet/temporary_address.h"
#include "core/hostnet/temporary_address_owner.h"
#include "core/model/session_record.h"
#include "core/platform/host_network.h"

namespace orv::cli {

// The host network of a command: --adapter NAME acts as ORVANTIS_ADAPTER for it.
HostNetworkOptions OptionsWithAdapter(const std::string& adapterName);

// False (after a message) when --adapter names no adapter of the PC.
bool CheckAdapterName(HostNetwork& net, const std::string& adapterName);

// True when one of the PC's addresses shares the camera's first three octets.
bool InPcSubnet(HostNetwork& net, std::uint32_t camera);

// The adapter the camera at address answers on, by one discovery request of at most one second;
// 0 when it did not answer.
std::uint32_t LearnCameraAdapter(std::uint32_t camera);

// The adapter's name, or its number when it has none (any more).
std::string AdapterNameOf(HostNetwork& net, std::uint32_t ifIndex);

// The pause between the two adds; tests shorten it through ORVANTIS_SUBNET_WAIT_MS.
EnsureOptions SubnetStepOptions();

class CameraReach {
 public:
  // Makes s's camera reachable. False (after a message) only for an unknown --adapter; a failed
  // subnet step is reported and the command goes on (the camera may still answer).
  bool Open(const SessionRecord& s, const std::string& adapterName);
  const std::optional<EnsureResult>& result() const { return m_result; }

 private:
  std::shared_ptr<HostNetwork> m_net;
  std::unique_ptr<TemporaryAddressOwner> m_owner;  // removes the address when the command ends
  std::optional<EnsureResult> m_result;
};

}  // namespace orv::cli
