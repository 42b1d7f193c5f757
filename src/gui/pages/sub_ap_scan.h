#pragma once
// The access-point list of the wizard, from the last scan.

#include <vector>

#include "core/camera_http/requests.h"
#include "gui/app/page_frame.h"
#include "gui/app/sub_page.h"

namespace orv::gui {

class CSubAPScan : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubAPScan(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  // The access points adopted from the last read or rescan (step 20).
  void SetAccessPoints(std::vector<AccessPointEntry> list) { m_accessPoints = std::move(list); }
  const std::vector<AccessPointEntry>& accessPoints() const { return m_accessPoints; }

  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
  QString m_question;
  std::vector<AccessPointEntry> m_accessPoints;
};

}  // namespace orv::gui
