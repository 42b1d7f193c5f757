#include "gui/pages/sub_option.h"

namespace orv::gui {

CSubOption::CSubOption(QWidget* parent) : CSubPage(parent) {}

void CSubOption::LoadTexts(const i18n::LanguagePack& /*pack*/) {}

void CSubOption::Prepare() {}

}  // namespace orv::gui
