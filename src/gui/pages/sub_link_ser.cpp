#include "gui/pages/sub_link_ser.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubLinkSer::CSubLinkSer(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubLinkSer"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubLinkSer::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubLinkSer::OnNext);
}

void CSubLinkSer::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "ServerPage", "TitleServer"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnFinish"));
}

void CSubLinkSer::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kLinkServerListBack);
}

void CSubLinkSer::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kLinkServerListFinish);
}

}  // namespace orv::gui
