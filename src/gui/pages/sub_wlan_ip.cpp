#include "gui/pages/sub_wlan_ip.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubWLANIP::CSubWLANIP(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubWLANIP"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubWLANIP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubWLANIP::OnNext);
}

void CSubWLANIP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WLANIPPage", "TitleWLAN"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubWLANIP::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kWirelessAddressBack);
}

void CSubWLANIP::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kWirelessAddressNext);
}

}  // namespace orv::gui
