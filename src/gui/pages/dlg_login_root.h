#pragma once

#include <QDialog>

#include "gui/app/ui_services.h"

namespace orv::i18n {
class LanguagePack;
}

namespace orv::gui {

class CDlgLoginRoot : public QDialog {
  Q_OBJECT
 public:
  CDlgLoginRoot(const i18n::LanguagePack& pack, Prompter* prompter, QWidget* parent);

  RootLogin result() const { return m_result; }

 private:
  const i18n::LanguagePack& m_pack;
  Prompter* m_prompter;
  RootLogin m_result;
};

}  // namespace orv::gui
