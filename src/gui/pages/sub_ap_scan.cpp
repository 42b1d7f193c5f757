#include "gui/pages/sub_ap_scan.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubAPScan::CSubAPScan(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubAPScan"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubAPScan::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubAPScan::OnNext);
}

void CSubAPScan::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "ApscanPage", "TitleWireless"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  m_question = PackText(pack, "ApscanPage", "Message1");
}

void CSubAPScan::Prepare() {
  if (session() == nullptr) return;
  if (session()->apCount == 0 && Message(MessageIcon::Warning, QString(), m_question,
                                         MessageButtons::YesNo) == MessageAnswer::Yes) {
    PostStep(nav::kRescan);
  }
}

void CSubAPScan::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kApListBack);
}

void CSubAPScan::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kApListNext);
}

}  // namespace orv::gui
