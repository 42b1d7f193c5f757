#pragma once
// The connection-diagram page: how to cable the camera for the chosen link.

#include "gui/frame/sub_page.h"

class QLabel;
class QPushButton;

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
  QPushButton* nextButton() const { return m_next; }
  QPushButton* backButton() const { return m_back; }

 private:
  art::CArtView* m_picture;
  QLabel* m_note;
  QPushButton* m_back;
  QPushButton* m_next;
};

}  // namespace orv::gui
