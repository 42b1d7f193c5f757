#include "gui/pages/dlg_login_root.h"

namespace orv::gui {

CDlgLoginRoot::CDlgLoginRoot(const i18n::LanguagePack& pack, Prompter* prompter, QWidget* parent)
    : QDialog(parent), m_pack(pack), m_prompter(prompter) {}

}  // namespace orv::gui
