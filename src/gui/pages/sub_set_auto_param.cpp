#include "gui/pages/sub_set_auto_param.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubSetAutoParam::CSubSetAutoParam(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubSetAutoParam"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubSetAutoParam::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubSetAutoParam::OnNext);
}

void CSubSetAutoParam::LoadTexts(const i18n::LanguagePack& pack) {
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnSave"));
}

void CSubSetAutoParam::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::kSummaryBack);
}

void CSubSetAutoParam::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kSummarySave);
}

}  // namespace orv::gui
