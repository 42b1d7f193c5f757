#pragma once
// The manual wireless page: every wireless setting chosen by hand.

#include "core/app/wireless_rules.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"
#include "gui/pages/wireless_controls.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace orv::gui {

class CSubWLANAP : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubWLANAP(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  // Record -> controls (step 7).
  void Prepare() override;

  QLineEdit* ssidEdit() const { return m_ssid; }
  QComboBox* modeList() const { return m_mode; }
  QComboBox* channelList() const { return m_channel; }
  QComboBox* rateList() const { return m_rate; }
  QComboBox* securityList() const { return m_security; }
  QComboBox* authList() const { return m_wep.authList(); }
  QComboBox* keyLengthList() const { return m_wep.keyLengthList(); }
  QComboBox* keyFormatList() const { return m_wep.keyFormatList(); }
  QComboBox* keyNumberList() const { return m_wep.keyNumberList(); }
  QLineEdit* wepKeyEdit() const { return m_wep.keyEdit(); }
  QComboBox* algorithmList() const { return m_algorithm; }
  QLineEdit* wpaKeyEdit() const { return m_wpaKey; }
  QWidget* wepGroup() const { return m_wepGroup; }
  QWidget* wpaGroup() const { return m_wpaGroup; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void ShowGroups(int security);
  void ShowChosenKey();
  void OnModeChosen(int index);
  void OnNext();

  PageFrame m_frame;
  QLabel* m_ssidLabel;
  QLineEdit* m_ssid;
  QLabel* m_modeLabel;
  QComboBox* m_mode;
  QLabel* m_channelLabel;
  QComboBox* m_channel;
  QLabel* m_rateLabel;
  QComboBox* m_rate;
  QLabel* m_securityLabel;
  QComboBox* m_security;
  QWidget* m_wepGroup;
  WepControls m_wep;
  QWidget* m_wpaGroup;
  QLabel* m_algorithmLabel;
  QComboBox* m_algorithm;
  QLabel* m_wpaKeyLabel;
  QLineEdit* m_wpaKey;
  WirelessWarnings m_warnings;
  wireless::ManualView m_loaded;  // what Prepare showed: unchanged texts keep the record's bytes
};

}  // namespace orv::gui
