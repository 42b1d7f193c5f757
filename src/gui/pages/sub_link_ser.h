#pragma once
// The cameras the link server knows for an account; a double-click (or Enter) on a row opens
// that camera's web page.

#include <vector>

#include "core/camera_http/requests.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QLabel;
class QTreeWidget;

namespace orv::gui {

class CSubLinkSer : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubLinkSer(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  // Fills the list from the handed-over entries, in their order.
  void Prepare() override;

  // The list the link-server login page received (step 13).
  void SetCameras(std::vector<LinkServerCameraEntry> list) { m_cameras = std::move(list); }
  const std::vector<LinkServerCameraEntry>& cameras() const { return m_cameras; }

  // Opens the selected row's web page; nothing without a selection or a sound address and port.
  void OpenSelected();

  QTreeWidget* cameraList() const { return m_list; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 protected:
 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
  std::vector<LinkServerCameraEntry> m_cameras;
  QLabel* m_listTitle;
  QTreeWidget* m_list;
};

}  // namespace orv::gui
