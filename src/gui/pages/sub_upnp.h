#pragma once
// The UPnP and ports page: the camera's UPnP switch and its HTTP, stream and RTSP ports.

#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace orv::gui {

class CSubUPnP : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubUPnP(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  QCheckBox* upnpBox() const { return m_upnp; }
  QLineEdit* httpPortEdit() const { return m_http; }
  QLineEdit* streamPortEdit() const { return m_stream; }
  QLineEdit* rtspPortEdit() const { return m_rtsp; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 private:
  void OnBack();
  void OnNext();

  PageFrame m_frame;
  QCheckBox* m_upnp = nullptr;
  QLabel* m_httpLabel = nullptr;
  QLineEdit* m_http = nullptr;
  QLabel* m_streamLabel = nullptr;
  QLineEdit* m_stream = nullptr;
  QLabel* m_rtspLabel = nullptr;
  QLineEdit* m_rtsp = nullptr;
  QString m_messages[6];  // Message1 to Message6
};

}  // namespace orv::gui
