#pragma once
// The PPPoE account page of the wizard: the PC's own PPPoE user name is offered, the password is
// asked for once.

#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QLabel;
class QLineEdit;

namespace orv::gui {

class CSubPPPoE : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubPPPoE(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  QLineEdit* userEdit() const { return m_user; }
  QLineEdit* passwordEdit() const { return m_password; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
  QLabel* m_userLabel = nullptr;
  QLineEdit* m_user = nullptr;
  QLabel* m_passwordLabel = nullptr;
  QLineEdit* m_password = nullptr;
  QString m_userRefusedMessage;
  QString m_passwordRefusedMessage;
};

}  // namespace orv::gui
