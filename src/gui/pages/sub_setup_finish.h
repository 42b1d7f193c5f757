#pragma once
// The finish page: the camera found again after the save, at its new address.

#include "core/discovery/camera_entry.h"
#include "gui/app/page_frame.h"
#include "gui/app/sub_page.h"

namespace orv::gui {

class CSubSetupFinish : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubSetupFinish(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;

  // The row of the re-found camera.
  void SetCamera(const CameraEntry& row) { m_camera = row; }
  const CameraEntry& camera() const { return m_camera; }

  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnNext();

  PageFrame m_frame;
  CameraEntry m_camera{};
};

}  // namespace orv::gui
