#include "gui/pages/sub_wps_pic.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubWPSPic::CSubWPSPic(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubWPSPic"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubWPSPic::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubWPSPic::OnNext);
}

void CSubWPSPic::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WPSPicPage", "TitleWPS"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubWPSPic::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kWpsDiagramBack);
}

void CSubWPSPic::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kWpsDiagramNext);
}

}  // namespace orv::gui
