#include "support/fake_host_network.h"

#include <algorithm>

#include "core/util/ipv4.h"

namespace orv::test {

SessionRecord CameraAt(const char* camera) {
  SessionRecord s;
  s.pcAddrText = "10.0.0.5";
  s.pcIfIndex = 2;
  s.connectAllowed.store(1);
  s.cameraAddr = Ip(camera);
  return s;
}

EnsureOptions NoPause() {
  EnsureOptions o;
  o.settleDelay = std::chrono::milliseconds(0);
  return o;
}

void FakeHostNetwork::Note(std::string line) {
  m_log.push_back(std::move(line));
}

std::vector<std::string> FakeHostNetwork::Log() const {
  std::lock_guard lock(m_mutex);
  return m_log;
}

std::vector<std::string> FakeHostNetwork::ArpLog() const {
  std::lock_guard lock(m_mutex);
  return m_arpLog;
}

std::vector<std::uint32_t> FakeHostNetwork::HeldTemporary() const {
  std::lock_guard lock(m_mutex);
  std::vector<std::uint32_t> out;
  for (const auto& [ctx, addr] : m_held) out.push_back(addr);
  return out;
}

int FakeHostNetwork::refreshCount(std::uint32_t context) const {
  std::lock_guard lock(m_mutex);
  auto it = m_refreshes.find(context);
  return it == m_refreshes.end() ? 0 : it->second;
}

int FakeHostNetwork::ListAdapters(std::vector<AdapterInfo>& out, std::string& errorText) {
  std::lock_guard lock(m_mutex);
  Note("list");
  if (listResult != 0) {
    errorText = listErrorText;
    return listResult;
  }
  out = adapters;
  return 0;
}

bool FakeHostNetwork::ReadAdapterDetails(std::uint32_t ifIndex, AdapterDetails& out) {
  std::lock_guard lock(m_mutex);
  auto it = details.find(ifIndex);
  if (it == details.end()) return false;
  out = it->second;
  return true;
}

bool FakeHostNetwork::ReadDnsServer(std::uint32_t ifIndex, std::string& out) {
  std::lock_guard lock(m_mutex);
  auto it = dns.find(ifIndex);
  if (it == dns.end()) return false;
  out = it->second;
  return true;
}

bool FakeHostNetwork::ReadAddressTable(std::vector<std::uint32_t>& out) {
  std::lock_guard lock(m_mutex);
  Note("table");
  if (!tableReadable) return false;
  out = hostAddresses;
  for (const auto& [ctx, addr] : m_held) out.push_back(addr);
  return true;
}

int FakeHostNetwork::AddAddress(std::uint32_t addr, std::uint32_t mask, std::uint32_t ifIndex,
                                std::uint32_t camera, std::uint32_t& context) {
  std::lock_guard lock(m_mutex);
  m_addCameras.push_back(camera);
  const int n = ++m_adds;
  const int rc = addResult ? addResult(n, addr) : 0;
  Note("add " + FormatIpv4(addr) + " " + FormatIpv4(mask) + " if" + std::to_string(ifIndex) +
       (rc ? " failed" : ""));
  if (rc) return rc;
  context = ++m_nextContext;
  m_held[context] = addr;
  m_heldIf[context] = ifIndex;
  return 0;
}

bool FakeHostNetwork::AddedAddress(std::uint32_t context, std::uint32_t& addr,
                                   std::uint32_t& ifIndex) {
  std::lock_guard lock(m_mutex);
  const auto it = m_held.find(context);
  if (it == m_held.end()) return false;
  addr = it->second;
  ifIndex = m_heldIf[context];
  return true;
}

int FakeHostNetwork::DeleteAddress(std::uint32_t context) {
  std::lock_guard lock(m_mutex);
  auto it = m_held.find(context);
  if (it == m_held.end()) {
    Note("delete unknown");
    return 2;
  }
  Note("delete " + FormatIpv4(it->second));
  m_held.erase(it);
  return 0;
}

int FakeHostNetwork::RefreshAddress(std::uint32_t context) {
  std::lock_guard lock(m_mutex);
  if (!m_held.count(context)) return 2;
  ++m_refreshes[context];
  return 0;
}

std::vector<std::uint32_t> FakeHostNetwork::ArpAdapters() const {
  std::lock_guard lock(m_mutex);
  return m_arpAdapters;
}

ArpAnswer FakeHostNetwork::SendArpOn(std::uint32_t ifIndex, std::uint32_t target,
                                     std::uint32_t source) {
  if (onArp) onArp(target);
  std::lock_guard lock(m_mutex);
  ++m_arpCount;
  m_arpAdapters.push_back(ifIndex);
  m_arpLog.push_back(FormatIpv4(target) + "<-" + FormatIpv4(source));
  if (arpFails || arpFailsFor.count(target)) return ArpAnswer::Error;
  const bool own =
      std::find(hostAddresses.begin(), hostAddresses.end(), target) != hostAddresses.end() ||
      std::any_of(m_held.begin(), m_held.end(),
                  [&](const auto& kv) { return kv.second == target; });
  return (own || occupied.count(target)) ? ArpAnswer::Answered : ArpAnswer::NoAnswer;
}

}  // namespace orv::test
