#pragma once
// The wizard address page: DHCP or a fixed address proposed from the PC's own network (a free
// address the read found, the PC's mask, gateway and DNS server), with a test of the address by
// one ARP request.

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QLabel;
class QRadioButton;

namespace orv {
class HostNetwork;
}

namespace orv::gui {

class CAddressFields;

class CSubWizardIP : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubWizardIP(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  // Free addresses found by the last read (step 30), network byte order, highest first.
  void SetSuggestedAddresses(std::vector<std::uint32_t> list) { m_suggested = std::move(list); }
  const std::vector<std::uint32_t>& suggestedAddresses() const { return m_suggested; }
  // Where the Test button sends its ARP request; none: every test is "not tested".
  void SetHostNetwork(std::shared_ptr<HostNetwork> net) { m_net = std::move(net); }

  QRadioButton* dhcpButton() const { return m_dhcp; }
  QRadioButton* fixedButton() const { return m_fixed; }
  CAddressFields* fields() const { return m_fields; }
  CXButtonXP* testButton() const { return m_test; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnDhcp();
  void OnFixed();
  void OnAddressEdited();
  void OnTest();
  void OnBack();
  void OnNext();
  void SetFieldsEnabled(bool enabled);

  PageFrame m_frame;
  QLabel* m_note;
  QRadioButton* m_dhcp;
  QRadioButton* m_fixed;
  CAddressFields* m_fields;
  CXButtonXP* m_test;
  QString m_inUse;      // Message1
  QString m_free;       // Message2
  QString m_question;   // Message3
  QString m_notTested;  // Message4
  std::vector<std::uint32_t> m_suggested;
  std::shared_ptr<HostNetwork> m_net;
};

}  // namespace orv::gui
