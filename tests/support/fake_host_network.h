#pragma once
// A scripted HostNetwork: adapters, details and the address table are set by the test; ARP answers
// come from a set of occupied addresses plus every address the host holds; every call is logged.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/hostnet/temporary_address.h"
#include "core/model/session_record.h"
#include "core/platform/host_network.h"
#include "support/ip.h"

namespace orv::test {

class FakeHostNetwork : public HostNetwork {
 public:
  // Scripted system state.
  int listResult = 0;
  std::string listErrorText;
  std::vector<AdapterInfo> adapters;
  std::map<std::uint32_t, AdapterDetails> details;
  std::map<std::uint32_t, std::string> dns;
  bool tableReadable = true;
  std::vector<std::uint32_t> hostAddresses;  // the host's own (not temporary) addresses
  std::set<std::uint32_t> occupied;          // other devices that answer ARP
  bool arpFails = false;                     // every ARP request errors
  std::set<std::uint32_t> arpFailsFor;       // requests for these targets error
  // Adds fail when this returns non-zero (argument: 1-based number of the add).
  std::function<int(int addNumber, std::uint32_t addr)> addResult;
  // The user named an adapter (the environment override).
  bool overridden = false;
  // Runs before each ARP request (tests use it to cancel mid-sweep).
  std::function<void(std::uint32_t target)> onArp;

  // Observations.
  std::vector<std::string> Log() const;
  std::vector<std::string> ArpLog() const;  // "target<-source" only
  // Adapter each ARP request was sent out of (0: the one holding the source), in order.
  std::vector<std::uint32_t> ArpAdapters() const;
  std::vector<std::uint32_t> HeldTemporary() const;
  int arpCount() const { return m_arpCount.load(); }
  int refreshCount(std::uint32_t context) const;
  // The camera each add named, in order.
  std::vector<std::uint32_t> AddCameras() const {
    std::lock_guard lock(m_mutex);
    return m_addCameras;
  }

  int ListAdapters(std::vector<AdapterInfo>& out, std::string& errorText) override;
  bool ReadAdapterDetails(std::uint32_t ifIndex, AdapterDetails& out) override;
  bool ReadDnsServer(std::uint32_t ifIndex, std::string& out) override;
  bool ReadAddressTable(std::vector<std::uint32_t>& out) override;
  int AddAddress(std::uint32_t addr, std::uint32_t mask, std::uint32_t ifIndex,
                 std::uint32_t camera, std::uint32_t& context) override;
  int DeleteAddress(std::uint32_t context) override;
  int RefreshAddress(std::uint32_t context) override;
  ArpAnswer SendArpOn(std::uint32_t ifIndex, std::uint32_t target, std::uint32_t source) override;
  bool AdapterOverridden() const override { return overridden; }
  bool AddedAddress(std::uint32_t context, std::uint32_t& addr, std::uint32_t& ifIndex) override;
  std::string LastError() const override { return "scripted failure"; }

 private:
  void Note(std::string line);

  mutable std::mutex m_mutex;
  std::vector<std::string> m_log;
  std::vector<std::string> m_arpLog;
  std::vector<std::uint32_t> m_arpAdapters;
  std::map<std::uint32_t, std::uint32_t> m_held;    // context -> address
  std::map<std::uint32_t, std::uint32_t> m_heldIf;  // context -> adapter
  std::map<std::uint32_t, int> m_refreshes;
  std::vector<std::uint32_t> m_addCameras;
  std::uint32_t m_nextContext = 100;
  int m_adds = 0;
  std::atomic<int> m_arpCount{0};
};

// A session whose PC is 10.0.0.5 on adapter 2, with the camera at camera.
SessionRecord CameraAt(const char* camera);
// Adds an address without waiting for it to settle.
EnsureOptions NoPause();

}  // namespace orv::test
