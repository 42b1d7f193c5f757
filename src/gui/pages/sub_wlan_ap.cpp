#include "gui/pages/sub_wlan_ap.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubWLANAP::CSubWLANAP(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubWLANAP"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubWLANAP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubWLANAP::OnNext);
}

void CSubWLANAP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WLANAPPage", "TitleWireless"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubWLANAP::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kAccessPointBack);
}

void CSubWLANAP::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kAccessPointNext);
}

}  // namespace orv::gui
