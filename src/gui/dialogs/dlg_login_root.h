#pragma once
// The camera's administrator login: the user is always "root"; only the password is typed.

#include <QDialog>

#include "gui/frame/ui_services.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace orv::i18n {
class LanguagePack;
}

namespace orv::gui {

class CDlgLoginRoot : public QDialog {
  Q_OBJECT
 public:
  static constexpr std::size_t kPasswordBytes = 63;  // the record's field less its terminator

  // Texts come from the pack each time a dialog is built, so each opening shows the current ones.
  CDlgLoginRoot(const i18n::LanguagePack& pack, Prompter* prompter, QWidget* parent);

  // "root" and the accepted password; "root" and an empty password after Cancel.
  RootLogin result() const { return m_result; }

  QLineEdit* userEdit() const { return m_user; }
  QLineEdit* passwordEdit() const { return m_password; }
  QPushButton* okButton() const { return m_ok; }
  QPushButton* cancelButton() const { return m_cancel; }

  void accept() override;
  void reject() override;

 private:
  Prompter* m_prompter;
  RootLogin m_result;
  QString m_refusedMessage;

  QLabel* m_note;
  QLabel* m_userLabel;
  QLineEdit* m_user;
  QLabel* m_passwordLabel;
  QLineEdit* m_password;
  QPushButton* m_ok;
  QPushButton* m_cancel;
};

}  // namespace orv::gui
