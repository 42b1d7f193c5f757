#include "gui/pages/sub_option.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/app/setup_choice.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "gui/frame/ui_services.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {
CSubOption::CSubOption(QWidget* parent)
    : CSubPage(parent),
      m_wizard(new QRadioButton(QStringLiteral("Wizard  Setup"), this)),
      m_wizardText(new QLabel(this)),
      m_manual(new QRadioButton(QStringLiteral("Maunal Setup"), this)),
      m_manualText(new QLabel(this)),
      m_back(new CXButtonXP(QStringLiteral("Back"), this)),
      m_next(new CXButtonXP(QStringLiteral("Next"), this)) {
  PaintWhite();
  titleLine()->hide();

  auto* group = new QButtonGroup(this);
  group->addButton(m_wizard);
  group->addButton(m_manual);
  m_wizard->setChecked(true);
  for (QLabel* l : {m_wizardText, m_manualText}) {
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
  }
  for (QAbstractButton* b :
       std::initializer_list<QAbstractButton*>{m_wizard, m_manual, m_back, m_next})
    b->setAccessibleName(b->text());
  m_back->setAutoDefault(false);
  m_next->setAutoDefault(false);

  auto* grid = new QGridLayout;
  grid->setColumnMinimumWidth(0, 24);
  grid->addWidget(m_wizard, 0, 0, 1, 2);
  grid->addWidget(m_wizardText, 1, 1);
  grid->addWidget(m_manual, 2, 0, 1, 2);
  grid->addWidget(m_manualText, 3, 1);
  grid->setColumnStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_back);
  buttons->addWidget(m_next);
  auto* page = new QVBoxLayout(this);
  page->addWidget(titleLine());
  page->addLayout(grid);
  page->addStretch(1);
  page->addLayout(buttons);
  setTabOrder(m_wizard, m_manual);
  setTabOrder(m_manual, m_back);
  setTabOrder(m_back, m_next);

  connect(m_wizard, &QRadioButton::clicked, this, [this] {
    if (session() != nullptr) session()->wizardMode = 1;
  });
  connect(m_manual, &QRadioButton::clicked, this, [this] {
    if (session() != nullptr) session()->wizardMode = 0;
  });
  connect(m_next, &QPushButton::clicked, this, &CSubOption::OnNext);
  connect(m_back, &QPushButton::clicked, this, [this] { PostStep(nav::kSetupTypeBack); });
}

void CSubOption::LoadTexts(const i18n::LanguagePack& pack) {
  auto text = [&pack](const char* section, const char* key) {
    return QString::fromStdString(pack.Utf8(section, key));
  };
  SetCaption(m_back, text("Common", "BtnBack"));
  SetCaption(m_next, text("Common", "BtnNext"));
  SetCaption(m_wizard, text("OptionPage", "RadioWizard"));
  SetCaption(m_manual, text("OptionPage", "RadioMaunal"));
  m_wizardText->setText(text("OptionPage", "StaticWizard"));
  m_manualText->setText(text("OptionPage", "StaticMaunal"));
}

void CSubOption::Prepare() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  const bool wizard = WizardSetupOffered(*s);
  s->wizardMode = wizard ? 1 : 0;
  m_wizard->setChecked(wizard);
  m_manual->setChecked(!wizard);
  m_wizard->setEnabled(wizard);
  m_wizardText->setEnabled(wizard);
}

void CSubOption::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  if (m_wizard->isChecked()) {
    const QDateTime now =
        services().clock != nullptr ? services().clock->Now() : QDateTime::currentDateTime();
    const std::string date = QLocale::c().toString(now, QStringLiteral("yyyy/MM/dd")).toStdString();
    const std::string time = QLocale::c().toString(now, QStringLiteral("HH:mm:ss")).toStdString();
    SetCameraClock(*s, date, time);
    PostStep(nav::SetupTypeNext(*s, nav::SetupType::Wizard));
  } else if (m_manual->isChecked()) {
    PostStep(nav::SetupTypeNext(*s, nav::SetupType::Manual));
  } else {
    Message(MessageIcon::Information, ProductCaption(),
            QStringLiteral("Please chose one setup type!"));
  }
}

}  // namespace orv::gui
