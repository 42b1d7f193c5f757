#include "gui/pages/sub_wps.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubWPS::CSubWPS(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubWPS"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubWPS::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubWPS::OnNext);
}

void CSubWPS::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WPSPage", "TitleWPS"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  m_question = PackText(pack, "WPSPage", "Message1");
}

void CSubWPS::Prepare() {
  if (session() == nullptr) return;
  if (session()->apCount == 0 && Message(MessageIcon::Information, QString(), m_question,
                                         MessageButtons::YesNo) == MessageAnswer::Yes) {
    PostStep(nav::kRescan);
  }
}

void CSubWPS::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kWpsBack);
}

void CSubWPS::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kWpsNext);
}

}  // namespace orv::gui
