#include "gui/pages/sub_login.h"

namespace orv::gui {

CSubLogin::CSubLogin(QWidget* parent) : CSubPage(parent) {}

void CSubLogin::LoadTexts(const i18n::LanguagePack& /*pack*/) {}

void CSubLogin::Prepare() {}

void CSubLogin::SetLinkServerHost(std::string host) {
  m_host = std::move(host);
}

}  // namespace orv::gui
