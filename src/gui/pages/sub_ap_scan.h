#pragma once
// The access-point list of the wizard, from the last scan: the chosen access point's properties
// read-only, only its key typed.

#include <vector>

#include "core/camera_http/requests.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"
#include "gui/pages/wireless_controls.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace orv::gui {

class CSubAPScan : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubAPScan(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  // Fills the list from the adopted access points, or asks whether to scan again.
  void Prepare() override;

  // The access points adopted from the last read or rescan (step 20).
  void SetAccessPoints(std::vector<AccessPointEntry> list) { m_accessPoints = std::move(list); }
  const std::vector<AccessPointEntry>& accessPoints() const { return m_accessPoints; }

  QComboBox* apList() const { return m_apList; }
  QLineEdit* macEdit() const { return m_mac; }
  QLineEdit* ssidEdit() const { return m_ssid; }
  QLineEdit* modeEdit() const { return m_mode; }
  QLineEdit* channelEdit() const { return m_channel; }
  QLineEdit* qualityEdit() const { return m_quality; }
  QLineEdit* securityEdit() const { return m_security; }
  QLineEdit* algorithmEdit() const { return m_algorithm; }
  QComboBox* keyModeList() const { return m_wep.authList(); }
  QComboBox* keyFormatList() const { return m_wep.keyFormatList(); }
  QComboBox* keyLengthList() const { return m_wep.keyLengthList(); }
  QComboBox* keyNumberList() const { return m_wep.keyNumberList(); }
  QLineEdit* wepKeyEdit() const { return m_wep.keyEdit(); }
  QLineEdit* wpaKeyEdit() const { return m_wpaKey; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void ShowAccessPoint(int index);
  void OnNext();

  PageFrame m_frame;
  QLabel* m_apLabel;
  QComboBox* m_apList;
  QLabel* m_macLabel;
  QLineEdit* m_mac;
  QLabel* m_ssidLabel;
  QLineEdit* m_ssid;
  QLabel* m_modeLabel;
  QLineEdit* m_mode;
  QLabel* m_channelLabel;
  QLineEdit* m_channel;
  QLabel* m_qualityLabel;
  QLineEdit* m_quality;
  QLabel* m_securityLabel;
  QLineEdit* m_security;
  QLabel* m_algorithmLabel;
  QLineEdit* m_algorithm;
  WepControls m_wep;
  QLabel* m_wpaKeyLabel;
  QLineEdit* m_wpaKey;
  QString m_rescanQuestion;
  WirelessWarnings m_warnings;
  std::vector<AccessPointEntry> m_accessPoints;
};

}  // namespace orv::gui
