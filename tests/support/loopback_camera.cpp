#include "support/loopback_camera.h"

#include <algorithm>

namespace orv::test {

bool LoopbackCamera::Start(std::vector<camsim::CameraConfig> cams,
                           std::optional<camsim::LinkServerConfig> link) {
  Stop();
  camsim::LabConfig lab;
  for (camsim::CameraConfig& cam : cams) {
    cam.bindAddress = "127.0.0.1";
    cam.replyTo = "127.0.0.1";
    cam.answerDiscovery = false;
    lab.cameras.push_back(std::move(cam));
  }
  lab.linkServer = std::move(link);
  lab.discoveryPort = 0;
  m_emu = std::make_unique<camsim::Emulator>(std::move(lab));
  std::string error;
  if (!m_emu->Start(&error)) m_emu.reset();
  return started();
}

void LoopbackCamera::Point(SessionRecord& s, std::size_t camera) const {
  s.connectAllowed.store(1);
  s.cameraAddrText = "127.0.0.1";
  s.cameraPortText = std::to_string(m_emu->HttpPort(camera));
}

int LoopbackCamera::Count(const std::string& text, std::size_t camera) const {
  const std::vector<std::string> log = m_emu->Requests(camera);
  return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& r) {
    return r.find(text) != std::string::npos;
  }));
}

}  // namespace orv::test
