#pragma once
// The ISP link-type page: the camera's wired link is plain LAN or PPPoE, with the PPPoE account
// and its password typed twice.

#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace orv::gui {

class CSubLANISP : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubLANISP(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  QRadioButton* lanButton() const { return m_lan; }
  QRadioButton* pppoeButton() const { return m_pppoe; }
  QLineEdit* userEdit() const;
  QLineEdit* passwordEdit() const;
  QLineEdit* confirmEdit() const;
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();
  void EnableAccount(bool on);

  PageFrame m_frame;
  QRadioButton* m_lan = nullptr;
  QRadioButton* m_pppoe = nullptr;
  QLabel* m_userLabel = nullptr;
  QLineEdit* m_user = nullptr;
  QLabel* m_passwordLabel = nullptr;
  QLineEdit* m_password = nullptr;
  QLabel* m_confirmLabel = nullptr;
  QLineEdit* m_confirm = nullptr;
  QString m_mismatchMessage;
  QString m_userRefusedMessage;
  QString m_passwordRefusedMessage;
  QString m_loginMissingMessage;
};

}  // namespace orv::gui
