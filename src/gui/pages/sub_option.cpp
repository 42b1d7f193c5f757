#include "gui/pages/sub_option.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
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
      m_manualText(new QLabel(this)) {
  PaintWhite();
  titleLine()->hide();
  m_frame =
      BuildPageFrame(this, titleLine(), true, true, QStringLiteral("Back"), QStringLiteral("Next"));

  auto* group = new QButtonGroup(this);
  group->addButton(m_wizard);
  group->addButton(m_manual);
  m_wizard->setChecked(true);
  for (QLabel* l : {m_wizardText, m_manualText}) {
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
  }
  for (QRadioButton* b : {m_wizard, m_manual}) b->setAccessibleName(b->text());
  m_frame.back->setAutoDefault(false);
  m_frame.next->setAutoDefault(false);

  auto* grid = new QGridLayout;
  grid->setColumnMinimumWidth(0, 24);
  grid->addWidget(m_wizard, 0, 0, 1, 2);
  grid->addWidget(m_wizardText, 1, 1);
  grid->addWidget(m_manual, 2, 0, 1, 2);
  grid->addWidget(m_manualText, 3, 1);
  grid->setColumnStretch(1, 1);
  m_frame.body->addLayout(grid);
  m_frame.body->addStretch(1);
  setTabOrder(m_wizard, m_manual);
  setTabOrder(m_manual, m_frame.back);

  connect(m_wizard, &QRadioButton::clicked, this, [this] {
    if (session() != nullptr) session()->wizardMode = 1;
  });
  connect(m_manual, &QRadioButton::clicked, this, [this] {
    if (session() != nullptr) session()->wizardMode = 0;
  });
  connect(m_frame.next, &QPushButton::clicked, this, &CSubOption::OnNext);
  connect(m_frame.back, &QPushButton::clicked, this, [this] { PostStep(nav::kSetupTypeBack); });
}

void CSubOption::LoadTexts(const i18n::LanguagePack& pack) {
  auto text = [&pack](const char* section, const char* key) {
    return QString::fromStdString(pack.Utf8(section, key));
  };
  SetCaption(m_frame.back, text("Common", "BtnBack"));
  SetCaption(m_frame.next, text("Common", "BtnNext"));
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
