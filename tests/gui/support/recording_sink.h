#pragma once
// A step sink for page tests: records the posted steps, runs the subnet step's continuation at
// once (after duringSubnet, a tick arriving while the step runs), and keeps the busy and closing
// states that a page's off-thread work sees.

#include <cstdint>
#include <functional>
#include <vector>

#include "core/model/session_record.h"
#include "gui/frame/sub_page.h"

namespace orv::test {

struct RecordingSink : gui::StepSink {
  void PostStep(int code) override { posted.push_back(code); }
  void SendSubnetStep(std::function<void()> then) override {
    if (session != nullptr) subnetAddresses.push_back(session->cameraAddr);
    if (duringSubnet) duringSubnet();
    if (then) then();
  }
  bool BeginPageWork() override {
    if (closing || busy) return false;
    busy = true;
    ++pageWorks;
    return true;
  }
  void EndPageWork() override { busy = false; }
  bool Closing() const override { return closing; }

  SessionRecord* session = nullptr;  // set: the subnet step notes cameraAddr
  std::vector<int> posted;
  std::vector<std::uint32_t> subnetAddresses;
  std::function<void()> duringSubnet;
  bool busy = false;
  bool closing = false;
  int pageWorks = 0;
};

}  // namespace orv::test
