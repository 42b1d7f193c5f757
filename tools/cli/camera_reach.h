#pragma once
// Reaching a camera for the length of one command, as the window does: its request family and the
// adapter it answers on from one short discovery request (unless --desc/--family and --adapter
// name them), then for a camera in another subnet a temporary address on that adapter, removed
// when the command ends, however it ends.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/app/failure_sentence.h"
#include "core/discovery/camera_entry.h"
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

// The camera's row from one discovery request of at most one second; nothing when it did not
// answer.
std::optional<CameraEntry> FindCamera(std::uint32_t camera);

// The adapter the camera at address answers on, by FindCamera; 0 when it did not answer.
std::uint32_t LearnCameraAdapter(std::uint32_t camera);

// The adapter's name, or its number when it has none (any more).
std::string AdapterNameOf(HostNetwork& net, std::uint32_t ifIndex);

// The pause between the two adds; tests shorten it through ORVANTIS_SUBNET_WAIT_MS.
EnsureOptions SubnetStepOptions();

class CameraReach {
 public:
  // Makes s's camera reachable. With takeFamily (neither --desc nor --family given) the request
  // family comes from the camera's discovery reply, as the window takes it from the list row; a
  // camera that does not answer keeps the legacy family. False (after a message) only for an
  // unknown --adapter; a failed subnet step is reported and the command goes on (the camera may
  // still answer).
  bool Open(SessionRecord& s, const std::string& adapterName, bool takeFamily);
  const std::optional<EnsureResult>& result() const { return m_result; }
  FamilyOrigin familyOrigin() const { return m_origin; }

 private:
  FamilyOrigin m_origin = FamilyOrigin::Given;
  std::shared_ptr<HostNetwork> m_net;
  std::unique_ptr<TemporaryAddressOwner> m_owner;  // removes the address when the command ends
  std::optional<EnsureResult> m_result;
};

}  // namespace orv::cli
