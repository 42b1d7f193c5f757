#pragma once
// The summary page: what is about to be written to the camera, in four short texts, and
// "Setup the Camera" after one confirmation.

#include <QString>

#include "core/app/summary_text.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QGroupBox;
class QLabel;

namespace orv::gui {

class CSubSetAutoParam : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubSetAutoParam(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  // Rebuilds the texts from the record (the step engine's prepare).
  void Prepare() override { BuildSummary(); }
  void BuildSummary();

  QString systemText() const;
  QString networkText() const;
  QString wirelessText() const;
  QString upnpText() const;

  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnSave();
  QGroupBox* AddGroup(const QString& title, QLabel* text);

  PageFrame m_frame;
  SummaryLabels m_labels;
  QString m_confirmation;
  QGroupBox* m_systemGroup = nullptr;
  QGroupBox* m_networkGroup = nullptr;
  QGroupBox* m_wirelessGroup = nullptr;
  QGroupBox* m_upnpGroup = nullptr;
  QLabel* m_system;
  QLabel* m_network;
  QLabel* m_wireless;
  QLabel* m_upnp;
};

}  // namespace orv::gui
