#include "gui/pages/sub_lan_ip.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubLANIP::CSubLANIP(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubLANIP"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubLANIP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubLANIP::OnNext);
}

void CSubLANIP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "LANPage", "TitleLAN"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  m_question = PackText(pack, "LANPage", "Message1");
}

void CSubLANIP::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kWiredAddressBack);
}

void CSubLANIP::OnNext() {
  if (session() == nullptr) return;
  const nav::Decision decision = nav::WiredAddressNext(*session());
  if (decision.ask) {
    const bool yes = Message(MessageIcon::Question, QStringLiteral("Orvantis"), m_question,
                             MessageButtons::YesNo) == MessageAnswer::Yes;
    PostStep(nav::WiredAddressAnswer(*session(), yes));
  } else if (decision.step != nav::kNoStep) {
    PostStep(decision.step);
  }
}

}  // namespace orv::gui
