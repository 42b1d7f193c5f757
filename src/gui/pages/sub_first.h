#pragma once

#include "gui/app/sub_page.h"

namespace orv::gui {

class CSubFirst : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubFirst(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  void UpdateLinkInfo();
  void SetLinkServerVisible(bool visible);
};

}  // namespace orv::gui
