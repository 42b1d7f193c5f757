#pragma once
// The WPS page: the camera joins a wireless network by push button.

#include "gui/app/page_frame.h"
#include "gui/app/sub_page.h"

namespace orv::gui {

class CSubWPS : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubWPS(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
  QString m_question;
};

}  // namespace orv::gui
