#pragma once
// The system page: host name, description and how the camera keeps its clock (left alone, set
// once from the PC, set by hand, or kept by a time server with a time zone and an interval).

#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace orv::gui {

class CSubSystem : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubSystem(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  QLineEdit* hostNameEdit() const;
  QLineEdit* descriptionEdit() const;
  QRadioButton* keepButton() const { return m_keep; }
  QRadioButton* syncButton() const { return m_sync; }
  QRadioButton* manualButton() const { return m_manual; }
  QRadioButton* automaticButton() const { return m_automatic; }
  QLineEdit* dateEdit() const { return m_date; }
  QLineEdit* timeEdit() const { return m_time; }
  QLineEdit* ntpServerEdit() const;
  QComboBox* timeZoneList() const { return m_timeZone; }
  QComboBox* intervalList() const { return m_interval; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();
  void NameDateAndTime(const QString& label);

  PageFrame m_frame;
  QLabel* m_hostNameLabel = nullptr;
  QLineEdit* m_hostName = nullptr;
  QLabel* m_descriptionLabel = nullptr;
  QLineEdit* m_description = nullptr;
  QRadioButton* m_keep = nullptr;
  QRadioButton* m_sync = nullptr;
  QRadioButton* m_manual = nullptr;
  QRadioButton* m_automatic = nullptr;
  QLabel* m_dateTimeLabel = nullptr;
  QLineEdit* m_date = nullptr;
  QLabel* m_dateHint = nullptr;
  QLineEdit* m_time = nullptr;
  QLabel* m_timeHint = nullptr;
  QLabel* m_ntpServerLabel = nullptr;
  QLineEdit* m_ntpServer = nullptr;
  QLabel* m_timeZoneLabel = nullptr;
  QComboBox* m_timeZone = nullptr;
  QLabel* m_intervalLabel = nullptr;
  QComboBox* m_interval = nullptr;
  QString m_dateMessage;
  QString m_timeMessage;
  QString m_hostNameMessage;
  QString m_descriptionMessage;
  QString m_ntpServerMessage;
};

}  // namespace orv::gui
