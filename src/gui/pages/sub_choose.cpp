#include "gui/pages/sub_choose.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
CSubChoose::CSubChoose(QWidget* parent)
    : CSubPage(parent),
      m_note1(new QLabel(this)),
      m_yes(new QRadioButton(QStringLiteral("Yes"), this)),
      m_lan(new QRadioButton(QStringLiteral("LAN"), this)),
      m_wireless(new QRadioButton(QStringLiteral("Wireless"), this)),
      m_pppoe(new QRadioButton(QStringLiteral("PPPoE"), this)),
      m_no(new QRadioButton(QStringLiteral("No"), this)),
      m_note2(new QLabel(this)) {
  PaintWhite();
  titleLine()->hide();
  m_frame =
      BuildPageFrame(this, titleLine(), true, true, QStringLiteral("Back"), QStringLiteral("Next"));

  auto* answer = new QButtonGroup(this);
  answer->addButton(m_yes);
  answer->addButton(m_no);
  auto* link = new QButtonGroup(this);
  link->addButton(m_lan);
  link->addButton(m_wireless);
  link->addButton(m_pppoe);
  m_yes->setChecked(true);
  m_lan->setChecked(true);

  for (QLabel* l : {m_note1, m_note2}) {
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
  }
  for (QRadioButton* b : {m_yes, m_lan, m_wireless, m_pppoe, m_no}) b->setAccessibleName(b->text());
  m_frame.back->setAutoDefault(false);
  m_frame.next->setAutoDefault(false);

  auto* grid = new QGridLayout;
  grid->setColumnMinimumWidth(0, 24);
  grid->addWidget(m_yes, 0, 0, 1, 2);
  grid->addWidget(m_lan, 1, 1);
  grid->addWidget(m_wireless, 2, 1);
  grid->addWidget(m_pppoe, 3, 1);
  grid->addWidget(m_no, 4, 0, 1, 2);
  grid->addWidget(m_note2, 5, 1);
  grid->setColumnStretch(1, 1);
  m_frame.body->addWidget(m_note1);
  m_frame.body->addLayout(grid);
  m_frame.body->addStretch(1);

  setTabOrder(m_yes, m_lan);
  setTabOrder(m_lan, m_wireless);
  setTabOrder(m_wireless, m_pppoe);
  setTabOrder(m_pppoe, m_no);
  setTabOrder(m_no, m_frame.back);

  // clicked, not toggled: only the user's own choice changes the buttons.
  connect(m_yes, &QRadioButton::clicked, this, &CSubChoose::OnYes);
  connect(m_no, &QRadioButton::clicked, this, &CSubChoose::OnNo);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubChoose::OnNext);
  connect(m_frame.back, &QPushButton::clicked, this, [this] { PostStep(nav::kLinkChoiceBack); });
}

void CSubChoose::LoadTexts(const i18n::LanguagePack& pack) {
  auto text = [&pack](const char* section, const char* key) {
    return QString::fromStdString(pack.Utf8(section, key));
  };
  SetCaption(m_frame.back, text("Common", "BtnBack"));
  SetCaption(m_frame.next, text("Common", "BtnNext"));
  m_note1->setText(text("ChoosePage", "Note1"));
  SetCaption(m_yes, text("ChoosePage", "RadioYes"));
  SetCaption(m_no, text("ChoosePage", "RadioNo"));
  SetCaption(m_lan, text("ChoosePage", "RadioLan"));
  SetCaption(m_wireless, text("ChoosePage", "RadioWireless"));
  SetCaption(m_pppoe, text("ChoosePage", "RadioPPPoE"));
  m_note2->setText(text("ChoosePage", "Note2"));
}

void CSubChoose::Apply(const LinkButtons& b) {
  m_lan->setChecked(b.checked == LinkKind::Lan);
  m_wireless->setChecked(b.checked == LinkKind::Wireless);
  m_pppoe->setChecked(b.checked == LinkKind::Pppoe);
  if (b.disableLan) m_lan->setEnabled(false);
  if (b.disableWireless) m_wireless->setEnabled(false);
  if (b.disablePppoe) m_pppoe->setEnabled(false);
}

void CSubChoose::Prepare() {
  if (session() != nullptr) Apply(LinkButtonsOnPrepare(*session()));
}

void CSubChoose::OnYes() {
  for (QRadioButton* b : {m_lan, m_wireless, m_pppoe}) b->setEnabled(true);
  if (session() != nullptr) Apply(LinkButtonsOnYes(*session()));
}

void CSubChoose::OnNo() {
  for (QRadioButton* b : {m_lan, m_wireless, m_pppoe}) b->setEnabled(false);
}

void CSubChoose::OnNext() {
  if (session() == nullptr) return;
  nav::LinkChoice choice = nav::LinkChoice::No;
  if (m_yes->isChecked()) {
    choice = m_lan->isChecked()     ? nav::LinkChoice::Lan
             : m_pppoe->isChecked() ? nav::LinkChoice::Pppoe
                                    : nav::LinkChoice::Wireless;
  }
  PostStep(nav::LinkChoiceNext(*session(), choice));
}

}  // namespace orv::gui
