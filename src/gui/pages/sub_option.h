#pragma once
// The setup-type page: the guided wizard (cameras with the extended request set) or manual setup.

#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"
#include "gui/widgets/xbutton_xp.h"

class QLabel;
class QRadioButton;

namespace orv::gui {

class CSubOption : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubOption(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  QRadioButton* wizardButton() const { return m_wizard; }
  QRadioButton* manualButton() const { return m_manual; }
  QLabel* wizardText() const { return m_wizardText; }
  QPushButton* nextButton() const { return m_frame.next; }
  QPushButton* backButton() const { return m_frame.back; }

 private:
  void OnNext();

  QRadioButton* m_wizard;
  QLabel* m_wizardText;
  QRadioButton* m_manual;
  QLabel* m_manualText;
  PageFrame m_frame;
};

}  // namespace orv::gui
