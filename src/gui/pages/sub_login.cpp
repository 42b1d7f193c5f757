#include "gui/pages/sub_login.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/credential_text.h"
#include "core/app/navigation.h"
#include "core/i18n/language_pack.h"
#include "gui/frame/field_label.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubLogin::CSubLogin(QWidget* parent)
    : CSubPage(parent),
      m_note(new QLabel(this)),
      m_typeLabel(new QLabel(QStringLiteral("Login type"), this)),
      m_type(new QComboBox(this)),
      m_idLabel(new QLabel(QStringLiteral("ID"), this)),
      m_id(new QLineEdit(this)),
      m_passwordLabel(new QLabel(QStringLiteral("Password"), this)),
      m_password(new QLineEdit(this)),
      m_exit(new CXButtonXP(QStringLiteral("Exit"), this)) {
  PaintWhite();
  m_frame =
      BuildPageFrame(this, titleLine(), true, true, QStringLiteral("Back"), QStringLiteral("Next"));

  m_note->setWordWrap(true);
  m_note->setTextFormat(Qt::PlainText);
  m_type->addItems({QStringLiteral("Device login"), QStringLiteral("User login")});
  m_type->setCurrentIndex(0);
  // Typing limits only; the page never loads a stored value into these fields.
  m_id->setMaxLength(kFieldChars);
  m_password->setMaxLength(kFieldChars);
  m_password->setEchoMode(QLineEdit::Password);
  m_exit->hide();
  m_exit->setEnabled(false);
  SetFieldLabel(m_typeLabel, m_type, m_typeLabel->text());
  SetFieldLabel(m_idLabel, m_id, m_idLabel->text());
  SetFieldLabel(m_passwordLabel, m_password, m_passwordLabel->text());
  m_typeLabel->setBuddy(m_type);
  m_idLabel->setBuddy(m_id);
  m_passwordLabel->setBuddy(m_password);
  for (QPushButton* b : std::initializer_list<QPushButton*>{m_exit, m_frame.back, m_frame.next})
    b->setAutoDefault(false);

  auto* form = new QFormLayout;
  form->addRow(m_typeLabel, m_type);
  form->addRow(m_idLabel, m_id);
  form->addRow(m_passwordLabel, m_password);
  m_frame.buttons->insertWidget(1, m_exit);  // after the stretch, before Back
  m_frame.body->addWidget(m_note);
  m_frame.body->addLayout(form);
  m_frame.body->addStretch(1);
  setTabOrder(m_type, m_id);
  setTabOrder(m_id, m_password);
  setTabOrder(m_password, m_frame.back);
  setTabOrder(m_frame.next, m_exit);  // hidden and disabled: after Next, as it always was

  connect(m_frame.next, &QPushButton::clicked, this, &CSubLogin::OnNext);
  connect(m_frame.back, &QPushButton::clicked, this,
          [this] { PostStep(nav::kLinkServerLoginBack); });
  connect(m_exit, &QPushButton::clicked, this, [this] { PostStep(nav::kLinkServerLoginExit); });
}

void CSubLogin::SetLinkServerHost(std::string host) {
  m_host = std::move(host);
}

void CSubLogin::LoadTexts(const i18n::LanguagePack& pack) {
  auto text = [&pack](const char* section, const char* key, std::size_t size = i18n::kTextChars) {
    return QString::fromStdString(pack.Utf8(section, key, size));
  };
  SetCaption(m_frame.back, text("Common", "BtnBack"));
  SetCaption(m_frame.next, text("Common", "BtnNext"));
  m_note->setText(text("LoginPage", "Note"));
  SetFieldLabel(m_typeLabel, m_type, text("LoginPage", "LoginType"));
  SetFieldLabel(m_idLabel, m_id, text("LoginPage", "ID"));
  SetFieldLabel(m_passwordLabel, m_password, text("LoginPage", "Password"));
  m_emptyMessage = text("LoginPage", "Message1", i18n::kMessageChars);
  m_badTextMessage = text("LoginPage", "Message2", i18n::kMessageChars);
  m_failedMessage = text("LoginPage", "Message3", i18n::kMessageChars);
  m_type->clear();
  m_type->addItems({text("LoginPage", "DiviceLogin"), text("LoginPage", "UserLogin")});
  m_type->setCurrentIndex(0);
  SetTitle(text("LoginPage", "TitleLogin", i18n::kMessageChars));
}

void CSubLogin::OnNext() {
  const QString id = m_id->text();
  const QString password = m_password->text();
  if (id.isEmpty() || password.isEmpty()) {
    Message(MessageIcon::Warning, QString(), m_emptyMessage);
    return;
  }
  const std::optional<std::string> localId = FitLocalText(id.toStdString(), kFieldBytes);
  const std::optional<std::string> localPassword =
      FitLocalText(password.toStdString(), kFieldBytes);
  if (!localId || !localPassword) {
    Message(MessageIcon::Stop, QString(), m_badTextMessage);
    return;
  }
  const int page = m_type->currentIndex() == 1 ? 2 : 3;
  Query query = m_query;
  if (!query) {
    // The real query gives up when the window closes, so a silent server cannot hold the exit.
    query = [flag = stepSink() != nullptr ? stepSink()->ConnectAllowed() : ConnectFlag()](
                const std::string& host, const std::string& port, const std::string& id,
                const std::string& secret, int pageNumber) {
      return QueryLinkServer(flag, host, port, id, secret, pageNumber);
    };
  }
  // Busy until the answer is in, so Next cannot queue a second query.
  RunPageWork([query = std::move(query), host = m_host, user = *localId, secret = *localPassword,
               page, this]() -> std::function<void()> {
    auto result = std::make_shared<std::optional<std::vector<LinkServerCameraEntry>>>(
        query(host, "80", user, secret, page));
    // Runs on the user-interface thread, only while the page is shown and the window open.
    return [this, result] {
      if (!*result) {
        Message(MessageIcon::Warning, QString(), m_failedMessage);
        return;
      }
      m_cameras = std::move(**result);
      PostStep(nav::kStepLinkServerList);
    };
  });
}

}  // namespace orv::gui
