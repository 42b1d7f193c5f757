#include "gui/pages/sub_search_net.h"

namespace orv::gui {

CSubSearchNet::CSubSearchNet(QWidget* parent) : CSubPage(parent) {}

void CSubSearchNet::LoadTexts(const i18n::LanguagePack& /*pack*/) {}

void CSubSearchNet::Prepare() {}

}  // namespace orv::gui
