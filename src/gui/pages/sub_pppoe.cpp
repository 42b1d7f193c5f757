#include "gui/pages/sub_pppoe.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/app/isp_rules.h"
#include "core/model/session_record.h"
#include "gui/frame/field_label.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubPPPoE::CSubPPPoE(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubPPPoE"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  // No length limit here: what does not fit the camera's field is refused on Next.
  m_userLabel = new QLabel(QStringLiteral("User name"), this);
  m_user = new QLineEdit(this);
  m_user->setObjectName(QStringLiteral("user"));
  m_passwordLabel = new QLabel(QStringLiteral("Password"), this);
  m_password = new QLineEdit(this);
  m_password->setObjectName(QStringLiteral("password"));
  m_password->setEchoMode(QLineEdit::Password);
  SetFieldLabel(m_userLabel, m_user, m_userLabel->text());
  SetFieldLabel(m_passwordLabel, m_password, m_passwordLabel->text());

  auto* form = new QFormLayout;
  form->addRow(m_userLabel, m_user);
  form->addRow(m_passwordLabel, m_password);
  m_frame.body->addLayout(form);
  m_frame.body->addStretch(1);
  setTabOrder(m_user, m_password);
  setTabOrder(m_password, m_frame.back);

  connect(m_frame.back, &QPushButton::clicked, this, &CSubPPPoE::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubPPPoE::OnNext);
}

void CSubPPPoE::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "PPPoEPage", "TitlePPPoE"));
  SetFieldLabel(m_userLabel, m_user, PackText(pack, "PPPoEPage", "UserID"));
  SetFieldLabel(m_passwordLabel, m_password, PackText(pack, "PPPoEPage", "Password"));
  m_userRefusedMessage = PackText(pack, "PPPoEPage", "Message1");
  m_passwordRefusedMessage = PackText(pack, "PPPoEPage", "Message2");
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubPPPoE::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  m_user->setText(LocalQString(s->pcPppoeUser.view()));
  m_password->clear();
}

void CSubPPPoE::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kPppoeBack);
}

void CSubPPPoE::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  const std::string user = m_user->text().toStdString();
  const std::string password = m_password->text().toStdString();
  const PppoeAnswer answer = PppoeNextChecked(*s, user, password);
  switch (answer.problem) {
    case PppoeProblem::None:
      PostStep(answer.step);
      return;
    case PppoeProblem::UserRefused:
      Message(MessageIcon::Stop, ProductCaption(), m_userRefusedMessage);
      return;
    case PppoeProblem::PasswordRefused:
      Message(MessageIcon::Stop, ProductCaption(), m_passwordRefusedMessage);
      return;
    case PppoeProblem::NoLinkChosen:  // the ISP page's own checks
    case PppoeProblem::PasswordMismatch:
    case PppoeProblem::LoginMissing:
      return;
  }
}

}  // namespace orv::gui
