#pragma once
// The ISP link-type page: the camera's wired link is plain LAN or PPPoE.

#include "gui/app/page_frame.h"
#include "gui/app/sub_page.h"

class QRadioButton;

namespace orv::gui {

class CSubLANISP : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubLANISP(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
  QRadioButton* m_lan = nullptr;
  QRadioButton* m_pppoe = nullptr;
};

}  // namespace orv::gui
