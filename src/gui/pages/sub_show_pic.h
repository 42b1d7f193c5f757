#pragma once
// The connection-diagram page: how to cable the camera for the chosen link.

#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"
#include "gui/widgets/xbutton_xp.h"

class QLabel;

namespace orv::gui {
namespace art {
class CArtView;
}

class CSubShowPic : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubShowPic(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  int pictureRole() const;  // an art::Picture value, for tests
  QPushButton* nextButton() const { return m_frame.next; }
  QPushButton* backButton() const { return m_frame.back; }

 private:
  art::CArtView* m_picture;
  QLabel* m_note;
  PageFrame m_frame;
};

}  // namespace orv::gui
