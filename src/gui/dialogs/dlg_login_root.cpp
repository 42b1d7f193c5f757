#include "gui/dialogs/dlg_login_root.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/credential_text.h"
#include "core/i18n/language_pack.h"
#include "gui/frame/pack_text.h"
#include "gui/widgets/light_palette.h"

namespace orv::gui {

CDlgLoginRoot::CDlgLoginRoot(const i18n::LanguagePack& pack, Prompter* prompter, QWidget* parent)
    : QDialog(parent),
      m_prompter(prompter),
      m_note(new QLabel(this)),
      m_userLabel(new QLabel(this)),
      m_user(new QLineEdit(QStringLiteral("root"), this)),
      m_passwordLabel(new QLabel(this)),
      m_password(new QLineEdit(this)),
      m_ok(new QPushButton(this)),
      m_cancel(new QPushButton(this)) {
  auto text = [&pack](const char* key, std::size_t size = i18n::kTextChars) {
    return QString::fromStdString(pack.Utf8("DlgLoginRoot", key, size));
  };
  QString caption = text("DlgLoginRootCaption");
  setWindowTitle(caption.isEmpty() ? QStringLiteral("Login root") : caption);
  setAutoFillBackground(true);
  setPalette(LightPalette(palette(), QColor(252, 253, 255)));

  m_note->setText(text("note1"));
  m_note->setWordWrap(true);
  m_note->setTextFormat(Qt::PlainText);
  m_userLabel->setText(text("Root"));
  m_passwordLabel->setText(text("Password"));
  m_userLabel->setBuddy(m_user);
  m_passwordLabel->setBuddy(m_password);
  m_user->setReadOnly(true);
  m_user->setAccessibleName(m_userLabel->text());
  m_password->setEchoMode(QLineEdit::Password);
  m_password->setAccessibleName(m_passwordLabel->text());
  m_refusedMessage = text("Message1", i18n::kMessageChars);

  const QString ok = text("BtnOK");
  m_ok->setText(ok.isEmpty() ? QStringLiteral("OK") : ok);
  m_ok->setAccessibleName(m_ok->text());
  m_ok->setDefault(true);  // Enter confirms
  m_cancel->setText(PackTextOr(pack, "DlgLoginRoot", "BtnCancel", QStringLiteral("Cancel")));
  m_cancel->setAccessibleName(m_cancel->text());

  auto* form = new QFormLayout;
  form->addRow(m_userLabel, m_user);
  form->addRow(m_passwordLabel, m_password);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_ok);
  buttons->addWidget(m_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_note);
  layout->addLayout(form);
  layout->addLayout(buttons);
  setTabOrder(m_password, m_ok);
  setTabOrder(m_ok, m_cancel);
  setTabOrder(m_cancel, m_user);
  setMinimumWidth(360);
  m_password->setFocus();

  connect(m_ok, &QPushButton::clicked, this, &CDlgLoginRoot::accept);
  connect(m_cancel, &QPushButton::clicked, this, &CDlgLoginRoot::reject);
}

void CDlgLoginRoot::accept() {
  const QString password = m_password->text();
  if (!FitLocalText(password.toStdString(), kPasswordBytes)) {
    // Refused rather than cut or turned into "?": the camera would get another password.
    if (m_prompter != nullptr) {
      m_prompter->Show(this, MessageRequest{MessageIcon::Stop, QString(), m_refusedMessage});
    }
    m_password->setFocus();
    return;
  }
  m_result.userName = m_user->text();
  m_result.password = password;
  QDialog::accept();
}

void CDlgLoginRoot::reject() {
  m_result = RootLogin{};
  QDialog::reject();
}

}  // namespace orv::gui
