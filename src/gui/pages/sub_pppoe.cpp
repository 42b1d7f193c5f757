#include "gui/pages/sub_pppoe.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubPPPoE::CSubPPPoE(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubPPPoE"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubPPPoE::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubPPPoE::OnNext);
}

void CSubPPPoE::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "PPPoEPage", "TitlePPPoE"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubPPPoE::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kPppoeBack);
}

void CSubPPPoE::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kPppoeNext);
}

}  // namespace orv::gui
