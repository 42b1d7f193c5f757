#pragma once
// The home page: how the PC reaches the Internet, and the buttons that start each path.

#include "core/app/link_info.h"
#include "core/app/navigation.h"
#include "gui/frame/sub_page.h"

class QLabel;
class QGroupBox;
class QPushButton;

namespace orv::gui {
namespace art {
class CArtView;
}

class CSubFirst : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubFirst(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;

  // Classifies the link from the record and sets the picture and text (start-up, language change).
  void UpdateLinkInfo();
  // "Search Intranet" appears only when the program was started with a link-server host.
  void SetLinkServerVisible(bool visible);

  QString linkText() const;
  int pictureRole() const;  // an art::Picture value, for tests

 private:
  void StartPath(nav::HomePath path);

  QGroupBox* m_linkGroup;
  art::CArtView* m_picture;
  QLabel* m_linkText;
  QPushButton* m_searchCamera;
  QPushButton* m_setupCamera;
  QPushButton* m_searchIntranet;
  QPushButton* m_about;
  QPushButton* m_language;
  QPushButton* m_firmware;
  LinkLabels m_labels;
};

}  // namespace orv::gui
