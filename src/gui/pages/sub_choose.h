#pragma once
// The link-choice page: a new camera for this network (and over which link), or an existing one.

#include "core/app/setup_choice.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"
#include "gui/widgets/xbutton_xp.h"

class QLabel;
class QRadioButton;

namespace orv::gui {

class CSubChoose : public CSubPage {
  Q_OBJECT
 public:
  explicit CSubChoose(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  void Prepare() override;

  QRadioButton* yesButton() const { return m_yes; }
  QRadioButton* noButton() const { return m_no; }
  QRadioButton* lanButton() const { return m_lan; }
  QRadioButton* wirelessButton() const { return m_wireless; }
  QRadioButton* pppoeButton() const { return m_pppoe; }
  QPushButton* nextButton() const { return m_frame.next; }
  QPushButton* backButton() const { return m_frame.back; }

 private:
  void Apply(const LinkButtons& buttons);
  void OnYes();
  void OnNo();
  void OnNext();

  QLabel* m_note1;
  QRadioButton* m_yes;
  QRadioButton* m_lan;
  QRadioButton* m_wireless;
  QRadioButton* m_pppoe;
  QRadioButton* m_no;
  QLabel* m_note2;
  PageFrame m_frame;
};

}  // namespace orv::gui
