#include "gui/pages/sub_choose.h"

namespace orv::gui {

CSubChoose::CSubChoose(QWidget* parent) : CSubPage(parent) {}

void CSubChoose::LoadTexts(const i18n::LanguagePack& /*pack*/) {}

void CSubChoose::Prepare() {}

}  // namespace orv::gui
