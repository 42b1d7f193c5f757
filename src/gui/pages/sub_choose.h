#pragma once

#include "gui/app/sub_page.h"

namespace orv::gui {

class CSubChoose : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubChoose(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;
};

}  // namespace orv::gui
