#include "gui/pages/sub_show_pic.h"

namespace orv::gui {

CSubShowPic::CSubShowPic(QWidget* parent) : CSubPage(parent) {}

void CSubShowPic::LoadTexts(const i18n::LanguagePack& /*pack*/) {}

void CSubShowPic::Prepare() {}

}  // namespace orv::gui
