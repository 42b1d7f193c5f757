#include "gui/pages/sub_lan_isp.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/app/isp_rules.h"
#include "core/model/session_record.h"
#include "gui/frame/control_helpers.h"
#include "gui/frame/field_label.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubLANISP::CSubLANISP(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubLANISP"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_lan = new QRadioButton(QStringLiteral("LAN"), this);
  m_lan->setObjectName(QStringLiteral("lan"));
  m_pppoe = new QRadioButton(QStringLiteral("PPPoE"), this);
  m_pppoe->setObjectName(QStringLiteral("pppoe"));
  // One group, and neither button checked until the record or the user says which.
  auto* group = new QButtonGroup(this);
  group->addButton(m_lan);
  group->addButton(m_pppoe);

  m_userLabel = new QLabel(QStringLiteral("User Name"), this);
  m_user = new QLineEdit(this);
  SetTypingLimit(m_user, kIspTypingLimit);
  m_user->setObjectName(QStringLiteral("user"));
  m_passwordLabel = new QLabel(QStringLiteral("Password"), this);
  m_password = new QLineEdit(this);
  SetTypingLimit(m_password, kIspTypingLimit);
  m_password->setObjectName(QStringLiteral("password"));
  m_password->setEchoMode(QLineEdit::Password);
  m_confirmLabel = new QLabel(QStringLiteral("Confirm password"), this);
  m_confirm = new QLineEdit(this);
  SetTypingLimit(m_confirm, kIspTypingLimit);
  m_confirm->setObjectName(QStringLiteral("confirm"));
  m_confirm->setEchoMode(QLineEdit::Password);
  SetFieldLabel(m_userLabel, m_user, m_userLabel->text());
  SetFieldLabel(m_passwordLabel, m_password, m_passwordLabel->text());
  SetFieldLabel(m_confirmLabel, m_confirm, m_confirmLabel->text());
  SetCaption(m_lan, m_lan->text());
  SetCaption(m_pppoe, m_pppoe->text());
  EnableAccount(false);

  auto* form = new QFormLayout;
  form->setContentsMargins(24, 0, 0, 0);
  form->addRow(m_userLabel, m_user);
  form->addRow(m_passwordLabel, m_password);
  form->addRow(m_confirmLabel, m_confirm);
  m_frame.body->addWidget(m_lan);
  m_frame.body->addWidget(m_pppoe);
  m_frame.body->addLayout(form);
  m_frame.body->addStretch(1);
  setTabOrder(m_lan, m_pppoe);
  setTabOrder(m_pppoe, m_user);
  setTabOrder(m_user, m_password);
  setTabOrder(m_password, m_confirm);
  setTabOrder(m_confirm, m_frame.back);

  connect(m_lan, &QRadioButton::clicked, this, [this] { EnableAccount(false); });
  connect(m_pppoe, &QRadioButton::clicked, this, [this] { EnableAccount(true); });
  connect(m_frame.back, &QPushButton::clicked, this, &CSubLANISP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubLANISP::OnNext);
}

QLineEdit* CSubLANISP::userEdit() const {
  return m_user;
}
QLineEdit* CSubLANISP::passwordEdit() const {
  return m_password;
}
QLineEdit* CSubLANISP::confirmEdit() const {
  return m_confirm;
}

void CSubLANISP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "LANISPPage", "TitleISP"));
  SetCaption(m_lan, PackText(pack, "LANISPPage", "RadioLAN"));
  SetCaption(m_pppoe, PackText(pack, "LANISPPage", "RadioPPPoE"));
  SetFieldLabel(m_userLabel, m_user, PackText(pack, "LANISPPage", "UserID"));
  SetFieldLabel(m_passwordLabel, m_password, PackText(pack, "LANISPPage", "Password"));
  SetFieldLabel(m_confirmLabel, m_confirm, PackText(pack, "LANISPPage", "ConfirmPwd"));
  m_mismatchMessage = PackText(pack, "LANISPPage", "Message1");
  m_userRefusedMessage = PackText(pack, "LANISPPage", "Message2");
  m_passwordRefusedMessage = PackText(pack, "LANISPPage", "Message3");
  m_loginMissingMessage = PackText(pack, "LANISPPage", "Message4");
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubLANISP::EnableAccount(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{m_userLabel, m_user, m_passwordLabel,
                                                    m_password, m_confirmLabel, m_confirm})
    w->setEnabled(on);
}

void CSubLANISP::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  SetLoadedText(m_user, LocalQString(s->net.PAccount.view()));
  SetLoadedText(m_password, LocalQString(s->net.PPwd.view()));
  SetLoadedText(m_confirm, LocalQString(s->net.PVP.view()));
  // The radio buttons' clicked handlers do not run when they are set here.
  switch (IspLinkOnPrepare(*s)) {
    case IspShown::Pppoe:
      m_pppoe->setChecked(true);
      EnableAccount(true);
      break;
    case IspShown::Lan:
      m_lan->setChecked(true);
      EnableAccount(false);
      break;
    case IspShown::Unchanged:
      break;
  }
}

void CSubLANISP::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kIspLinkBack);
}

void CSubLANISP::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  IspTyped typed;
  if (m_lan->isChecked()) typed.link = nav::IspLink::Lan;
  if (m_pppoe->isChecked()) typed.link = nav::IspLink::Pppoe;
  const std::string user = m_user->text().toStdString();
  const std::string password = m_password->text().toStdString();
  const std::string confirm = m_confirm->text().toStdString();
  typed.user = user;
  typed.password = password;
  typed.confirm = confirm;
  const PppoeAnswer answer = IspLinkNextChecked(*s, typed);
  switch (answer.problem) {
    case PppoeProblem::None:
      PostStep(answer.step);
      return;
    case PppoeProblem::NoLinkChosen:
      Message(MessageIcon::None, ProductCaption(), QStringLiteral("Please Choose one link type"));
      return;
    case PppoeProblem::PasswordMismatch:
      Message(MessageIcon::Stop, ProductCaption(), m_mismatchMessage);
      return;
    case PppoeProblem::LoginMissing:
      Message(MessageIcon::Warning, ProductCaption(), m_loginMissingMessage);
      return;
    case PppoeProblem::UserRefused:
      Message(MessageIcon::Stop, ProductCaption(), m_userRefusedMessage);
      return;
    case PppoeProblem::PasswordRefused:
      Message(MessageIcon::Stop, ProductCaption(), m_passwordRefusedMessage);
      return;
  }
}

}  // namespace orv::gui
