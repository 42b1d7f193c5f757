#pragma once
// The wireless address page of the manual setup: DHCP or a fixed address for the camera's
// wireless link.

#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QRadioButton;

namespace orv::gui {

class CAddressFields;

class CSubWLANIP : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubWLANIP(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  QRadioButton* dhcpButton() const { return m_dhcp; }
  QRadioButton* fixedButton() const { return m_fixed; }
  CAddressFields* fields() const { return m_fields; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
  QRadioButton* m_dhcp;
  QRadioButton* m_fixed;
  CAddressFields* m_fields;
};

}  // namespace orv::gui
