#include "gui/pages/sub_first.h"

namespace orv::gui {

CSubFirst::CSubFirst(QWidget* parent) : CSubPage(parent) {}

void CSubFirst::LoadTexts(const i18n::LanguagePack& /*pack*/) {}

void CSubFirst::Prepare() {}

void CSubFirst::UpdateLinkInfo() {}

void CSubFirst::SetLinkServerVisible(bool /*visible*/) {}

}  // namespace orv::gui
