#pragma once
// The cameras the link server knows for an account.

#include <vector>

#include "core/camera_http/requests.h"
#include "gui/app/page_frame.h"
#include "gui/app/sub_page.h"

namespace orv::gui {

class CSubLinkSer : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubLinkSer(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;

  // The list the link-server login page received (step 13).
  void SetCameras(std::vector<LinkServerCameraEntry> list) { m_cameras = std::move(list); }
  const std::vector<LinkServerCameraEntry>& cameras() const { return m_cameras; }

  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
  std::vector<LinkServerCameraEntry> m_cameras;
};

}  // namespace orv::gui
