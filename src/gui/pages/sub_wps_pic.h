#pragma once
// The WPS diagram page: what to press on the router before the WPS page starts the session.

#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QLabel;

namespace orv::gui {

namespace art {
class CArtView;
}

class CSubWPSPic : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubWPSPic(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;

  QLabel* firstNote() const { return m_note1; }
  QLabel* secondNote() const { return m_note2; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  PageFrame m_frame;
  art::CArtView* m_picture;
  QLabel* m_note1;
  QLabel* m_note2;
};

}  // namespace orv::gui
