#include "gui/pages/sub_system.h"

#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/model/session_record.h"
#include "gui/i18n/pack_text.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubSystem::CSubSystem(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubSystem"));
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_frame.body->addStretch(1);
  connect(m_frame.back, &QPushButton::clicked, this, &CSubSystem::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubSystem::OnNext);
}

void CSubSystem::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "SystemPage", "TitleSystem"));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubSystem::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::SystemBack(*session()));
}

void CSubSystem::OnNext() {
  if (session() == nullptr) return;
  PostStep(nav::kSystemNext);
}

}  // namespace orv::gui
