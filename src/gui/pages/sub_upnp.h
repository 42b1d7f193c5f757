#pragma once
// The UPnP and ports page.

#include "gui/app/page_frame.h"
#include "gui/app/sub_page.h"

namespace orv::gui {

class CSubUPnP : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubUPnP(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;

  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
};

}  // namespace orv::gui
