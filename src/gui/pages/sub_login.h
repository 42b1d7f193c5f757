#pragma once

#include <string>
#include <vector>

#include "core/camera_http/requests.h"
#include "gui/app/sub_page.h"

namespace orv::gui {

class CSubLogin : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubLogin(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  void SetLinkServerHost(std::string host);
  const std::vector<LinkServerCameraEntry>& cameras() const { return m_cameras; }

 private:
  std::string m_host;
  std::vector<LinkServerCameraEntry> m_cameras;
};

}  // namespace orv::gui
