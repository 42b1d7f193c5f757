#include "gui/pages/sub_wizard_ip.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubWizardIP::CSubWizardIP(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubWizardIP"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubWizardIP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubWizardIP::OnNext);
}

void CSubWizardIP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WizardIPPage", "TitleWizardIP"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  m_question = PackText(pack, "WizardIPPage", "Message3");
}

void CSubWizardIP::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kWizardAddressBack);
}

void CSubWizardIP::OnNext() {
  if (session() == nullptr) return;
  const nav::Decision decision = nav::WizardAddressNext(*session());
  if (decision.ask) {
    const bool yes = Message(MessageIcon::Question, QString(), m_question, MessageButtons::YesNo) ==
                     MessageAnswer::Yes;
    PostStep(nav::WizardAddressAnswer(*session(), yes));
  } else if (decision.step != nav::kNoStep) {
    PostStep(decision.step);
  }
}

}  // namespace orv::gui
