#include "gui/pages/sub_upnp.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubUPnP::CSubUPnP(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubUPnP"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubUPnP::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubUPnP::OnNext);
}

void CSubUPnP::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "UPnPPage", "TitleUPnP"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubUPnP::OnBack() {
  if (session() == nullptr) return;
  const int step = nav::UpnpBack(*session());
  if (step != nav::kNoStep) PostStep(step);
}

void CSubUPnP::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kUpnpNext);
}

}  // namespace orv::gui
