#pragma once
// The finish page: the camera found again after the save, at its new address, with a button that
// opens its web page.

#include "core/discovery/camera_entry.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QGridLayout;
class QLabel;

namespace orv::gui {

class CXButtonXP;

class CSubSetupFinish : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubSetupFinish(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  // Fills every field from the handed-over row and the record's NAT status.
  void Prepare() override;

  // The row of the re-found camera (step 31).
  void SetCamera(const CameraEntry& row) { m_camera = row; }
  const CameraEntry& camera() const { return m_camera; }

  QString addressText() const;
  QString macText() const;
  QString interfaceText() const;
  QString portText() const;
  QString secondPortText() const;
  QString cameraIdText() const;
  QString linkStatusText() const;

  CXButtonXP* linkButton() const { return m_link; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnNext();
  void OnLink();
  QLabel* AddRow(QGridLayout* grid, int row, QLabel* label, const char* name);

  PageFrame m_frame;
  CameraEntry m_camera{};
  QLabel* m_ipLabel;
  QLabel* m_macLabel;
  QLabel* m_interfaceLabel;
  QLabel* m_portLabel;
  QLabel* m_sportLabel;
  QLabel* m_idLabel;
  QLabel* m_address = nullptr;
  QLabel* m_mac = nullptr;
  QLabel* m_interface = nullptr;
  QLabel* m_port = nullptr;
  QLabel* m_sport = nullptr;
  QLabel* m_cameraId = nullptr;
  QLabel* m_linkStatus;
  CXButtonXP* m_link;
};

}  // namespace orv::gui
