#pragma once
// Emulated cameras serving HTTP on 127.0.0.1 at ports the kernel chooses, answering no discovery:
// a camera to talk to without a lab.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "camsim.h"
#include "core/model/session_record.h"

namespace orv::test {

class LoopbackCamera {
 public:
  LoopbackCamera() = default;
  explicit LoopbackCamera(camsim::CameraConfig cam) { Start({std::move(cam)}); }

  // Starts the cameras (and a link server), after stopping any running ones. False when the
  // emulator cannot start: a broken test, never a skipped one.
  bool Start(std::vector<camsim::CameraConfig> cams,
             std::optional<camsim::LinkServerConfig> link = {});
  void Stop() { m_emu.reset(); }
  bool started() const { return m_emu != nullptr; }
  camsim::Emulator* operator->() const { return m_emu.get(); }

  // Points s at the camera: its address and port, connecting allowed.
  void Point(SessionRecord& s, std::size_t camera = 0) const;
  // How many requests the camera received that contain text.
  int Count(const std::string& text, std::size_t camera = 0) const;

 private:
  std::unique_ptr<camsim::Emulator> m_emu;
};

}  // namespace orv::test
