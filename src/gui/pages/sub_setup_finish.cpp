#include "gui/pages/sub_setup_finish.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubSetupFinish::CSubSetupFinish(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubSetupFinish"));
  m_frame = BuildPageFrame(this, titleLine(), false, true);
  m_frame.body->addStretch(1);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubSetupFinish::OnNext);
}

void CSubSetupFinish::LoadTexts(const i18n::LanguagePack& pack) {
  m_frame.next->SetText(PackText(pack, "Common", "BtnFinish"));
}

void CSubSetupFinish::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kFinishFinish);
}

}  // namespace orv::gui
