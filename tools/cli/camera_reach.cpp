#include "camera_reach.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/app/startup_facts.h"
#include "core/camera_http/model_catalogue.h"
#include "core/discovery/camera_lookup.h"
#include "core/discovery/plipf.h"
#include "core/platform/env.h"
#include "core/util/ipv4.h"
#include "progress.h"

namespace orv::cli {

HostNetworkOptions OptionsWithAdapter(const std::string& adapterName) {
  HostNetworkOptions o = HostNetworkOptionsFromEnvironment();
  if (!adapterName.empty()) o.adapterOverride = adapterName;
  return o;
}

bool CheckAdapterName(HostNetwork& net, const std::string& adapterName) {
  if (adapterName.empty()) return true;
  std::vector<AdapterInfo> adapters;
  std::string why;
  if (net.ListAdapters(adapters, why) == 0) {
    for (const AdapterInfo& a : adapters)
      if (a.name == adapterName) return true;
  }
  std::fprintf(stderr, "orvantis-cli: no adapter named %s\n", adapterName.c_str());
  return false;
}

bool InPcSubnet(HostNetwork& net, std::uint32_t camera) {
  std::vector<std::uint32_t> table;
  if (!net.ReadAddressTable(table)) return false;
  for (std::uint32_t a : table)
    if (SameFirstThreeOctets(a, camera)) return true;
  return false;
}

std::optional<CameraEntry> FindCamera(std::uint32_t camera) {
  CPLipf engine(DiscoveryEnvironment::System());
  return LookUpCamera(engine, camera, std::chrono::milliseconds(1000));
}

std::uint32_t LearnCameraAdapter(std::uint32_t camera) {
  const std::optional<CameraEntry> row = FindCamera(camera);
  return row ? row->ifIndex : 0;
}

std::string AdapterNameOf(HostNetwork& net, std::uint32_t ifIndex) {
  std::vector<AdapterInfo> adapters;
  std::string why;
  if (net.ListAdapters(adapters, why) == 0) {
    for (const AdapterInfo& a : adapters)
      if (a.index == ifIndex) return a.name;
  }
  return ifIndex == 0 ? std::string() : std::to_string(ifIndex);
}

EnsureOptions SubnetStepOptions() {
  EnsureOptions eo;
  if (const std::optional<std::string> w = EnvOverride("ORVANTIS_SUBNET_WAIT_MS")) {
    const long ms = std::strtol(w->c_str(), nullptr, 10);
    if (ms >= 0 && ms <= 60000) eo.settleDelay = std::chrono::milliseconds(ms);
  }
  return eo;
}

bool CameraReach::Open(SessionRecord& s, const std::string& adapterName, bool takeFamily) {
  const HostNetworkOptions options = OptionsWithAdapter(adapterName);
  m_net = CreateHostNetwork(options);
  if (!CheckAdapterName(*m_net, adapterName)) return false;
  const bool inSubnet = InPcSubnet(*m_net, s.cameraAddr);
  std::optional<CameraEntry> row;
  if (takeFamily || (!inSubnet && !m_net->AdapterOverridden())) {
    ShowProgress("looking for the camera (discovery)");
    row = FindCamera(s.cameraAddr);
  }
  if (takeFamily) {
    m_origin = row ? FamilyOrigin::Discovery : FamilyOrigin::NoAnswer;
    if (row) ClassifyFamily(s, row->desc.view());
  }
  if (inSubnet) return true;

  ShowProgress("reaching the camera's subnet");
  SessionRecord probe;
  ReadStartupFacts(*m_net, probe, nullptr, TraceLine);
  probe.cameraAddr = s.cameraAddr;
  if (!m_net->AdapterOverridden()) probe.cameraIfIndex = row ? row->ifIndex : 0;
  probe.connectAllowed.store(1);

  TemporaryAddressOwner::Options oo;
  oo.lifetime = options.addressLifetime;
  m_owner = std::make_unique<TemporaryAddressOwner>(m_net, oo);
  m_result = m_owner->Ensure(probe, SubnetStepOptions());
  const EnsureOutcome o = m_result->outcome;
  if (o != EnsureOutcome::Added && o != EnsureOutcome::AlreadyReachable) {
    const bool platform = m_result->errorCode != 0 || m_result->failedArpRequests > 0;
    const std::string why = platform ? m_net->LastError() : std::string();
    ClearProgress();
    std::fprintf(stderr, "orvantis-cli: no address in the camera's subnet (%s)%s%s\n",
                 std::string(to_string(o)).c_str(), why.empty() ? "" : ": ", why.c_str());
  }
  return true;
}

}  // namespace orv::cli
