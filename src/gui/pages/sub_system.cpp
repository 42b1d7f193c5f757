#include "gui/pages/sub_system.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/app/navigation.h"
#include "core/app/system_rules.h"
#include "core/model/session_record.h"
#include "gui/frame/control_helpers.h"
#include "gui/frame/field_label.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

namespace {

// The template's own texts (the pack has no keys for them).
const QString kDateHint = QStringLiteral("[yyyy/mm/dd]");
const QString kTimeHint = QStringLiteral("[hh:mm:ss]");
const QString kNtpServerLabel = QStringLiteral("NTP server:");

void LoadList(QComboBox* list, const ListLoad& load, const QString& recordValue) {
  switch (load.kind) {
    case ListLoad::Kind::Select:
      list->setPlaceholderText(QString());
      list->setCurrentIndex(load.index);
      return;
    case ListLoad::Kind::NoSelection:
      // The camera's value is not in the list: show it, select nothing, and keep it unless the
      // user picks an entry.
      list->setPlaceholderText(recordValue);
      list->setCurrentIndex(-1);
      return;
  }
}

}  // namespace

CSubSystem::CSubSystem(QWidget* parent) : CSubPage(parent) {
  setObjectName(QStringLiteral("CSubSystem"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);

  m_hostNameLabel = new QLabel(QStringLiteral("Host Name"), this);
  m_hostName = new QLineEdit(this);
  SetTypingLimit(m_hostName, kHostNameTypingLimit);
  m_hostName->setObjectName(QStringLiteral("hostName"));
  m_descriptionLabel = new QLabel(QStringLiteral("Description"), this);
  m_description = new QLineEdit(this);
  SetTypingLimit(m_description, kDescriptionTypingLimit);
  m_description->setObjectName(QStringLiteral("description"));

  m_keep = new QRadioButton(QStringLiteral("Keep current date and time "), this);
  m_keep->setObjectName(QStringLiteral("keep"));
  m_sync = new QRadioButton(QStringLiteral("Sync with computer time "), this);
  m_sync->setObjectName(QStringLiteral("sync"));
  m_manual = new QRadioButton(QStringLiteral("Manual"), this);
  m_manual->setObjectName(QStringLiteral("manual"));
  m_automatic = new QRadioButton(QStringLiteral("Automatic"), this);
  m_automatic->setObjectName(QStringLiteral("automatic"));
  // One group; none is checked until the record or the user says which.
  auto* modes = new QButtonGroup(this);
  for (QRadioButton* b : {m_keep, m_sync, m_manual, m_automatic}) {
    modes->addButton(b);
    SetCaption(b, b->text());
  }

  m_dateTimeLabel = new QLabel(this);
  m_date = new QLineEdit(this);
  m_date->setObjectName(QStringLiteral("date"));
  m_dateHint = new QLabel(kDateHint, this);
  m_time = new QLineEdit(this);
  m_time->setObjectName(QStringLiteral("time"));
  m_timeHint = new QLabel(kTimeHint, this);
  m_ntpServerLabel = new QLabel(this);
  m_ntpServer = new QLineEdit(this);
  SetTypingLimit(m_ntpServer, kNtpServerTypingLimit);
  m_ntpServer->setObjectName(QStringLiteral("ntpServer"));
  m_timeZoneLabel = new QLabel(QStringLiteral("Time Zone"), this);
  m_timeZone = new QComboBox(this);
  m_timeZone->setObjectName(QStringLiteral("timeZone"));
  for (std::string_view name : kTimeZoneNames)
    m_timeZone->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  m_timeZone->setCurrentIndex(kDefaultTimeZone);
  m_intervalLabel = new QLabel(QStringLiteral("Update interval"), this);
  m_interval = new QComboBox(this);
  m_interval->setObjectName(QStringLiteral("interval"));
  for (int hours = 0; hours < kUpdateIntervalCount; ++hours)
    m_interval->addItem(QString::fromStdString(UpdateIntervalName(hours)));
  m_interval->setCurrentIndex(kDefaultUpdateInterval);
  SetFieldLabel(m_hostNameLabel, m_hostName, m_hostNameLabel->text());
  SetFieldLabel(m_descriptionLabel, m_description, m_descriptionLabel->text());
  NameDateAndTime(QStringLiteral("Date and time"));
  SetFieldLabel(m_ntpServerLabel, m_ntpServer, kNtpServerLabel);
  SetFieldLabel(m_timeZoneLabel, m_timeZone, m_timeZoneLabel->text());
  SetFieldLabel(m_intervalLabel, m_interval, m_intervalLabel->text());

  auto* names = new QGridLayout;
  names->addWidget(m_hostNameLabel, 0, 0);
  names->addWidget(m_hostName, 0, 1);
  names->addWidget(m_descriptionLabel, 1, 0);
  names->addWidget(m_description, 1, 1);
  names->setColumnStretch(1, 1);

  auto* manual = new QHBoxLayout;
  manual->setContentsMargins(24, 0, 0, 0);
  manual->addWidget(m_dateTimeLabel);
  manual->addWidget(m_date, 2);
  manual->addWidget(m_dateHint);
  manual->addSpacing(12);
  manual->addWidget(m_time, 2);
  manual->addWidget(m_timeHint);
  manual->addStretch(1);

  auto* automatic = new QGridLayout;
  automatic->setContentsMargins(24, 0, 0, 0);
  automatic->addWidget(m_ntpServerLabel, 0, 0);
  automatic->addWidget(m_ntpServer, 0, 1);
  automatic->addWidget(m_timeZoneLabel, 1, 0);
  automatic->addWidget(m_timeZone, 1, 1);
  automatic->addWidget(m_intervalLabel, 2, 0);
  automatic->addWidget(m_interval, 2, 1);
  automatic->setColumnStretch(1, 1);

  m_frame.body->addLayout(names);
  m_frame.body->addSpacing(8);
  m_frame.body->addWidget(m_keep);
  m_frame.body->addWidget(m_sync);
  m_frame.body->addWidget(m_manual);
  m_frame.body->addLayout(manual);
  m_frame.body->addWidget(m_automatic);
  m_frame.body->addLayout(automatic);
  m_frame.body->addStretch(1);

  QWidget* order[] = {m_hostName, m_description, m_keep,      m_sync,      m_manual,
                      m_date,     m_time,        m_automatic, m_ntpServer, m_timeZone,
                      m_interval, m_frame.back,  m_frame.next};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(m_frame.back, &QPushButton::clicked, this, &CSubSystem::OnBack);
  connect(m_frame.next, &QPushButton::clicked, this, &CSubSystem::OnNext);
}

// One label for two fields: each field's name adds its hint, so the two are told apart.
void CSubSystem::NameDateAndTime(const QString& label) {
  m_dateTimeLabel->setTextFormat(Qt::PlainText);
  m_dateTimeLabel->setText(label);
  m_dateTimeLabel->setBuddy(m_date);
  m_date->setAccessibleName(label + QLatin1Char(' ') + m_dateHint->text());
  m_time->setAccessibleName(label + QLatin1Char(' ') + m_timeHint->text());
}

QLineEdit* CSubSystem::hostNameEdit() const {
  return m_hostName;
}
QLineEdit* CSubSystem::descriptionEdit() const {
  return m_description;
}
QLineEdit* CSubSystem::ntpServerEdit() const {
  return m_ntpServer;
}

void CSubSystem::LoadTexts(const i18n::LanguagePack& pack) {
  SetFieldLabel(m_hostNameLabel, m_hostName, PackText(pack, "SystemPage", "Hostname"));
  SetFieldLabel(m_descriptionLabel, m_description, PackText(pack, "SystemPage", "Description"));
  SetCaption(m_keep, PackText(pack, "SystemPage", "KeepCurrentTime"));
  SetCaption(m_sync, PackText(pack, "SystemPage", "SyncComputerTime"));
  SetCaption(m_manual, PackText(pack, "SystemPage", "ManualTime"));
  m_dateHint->setText(PackTextOr(pack, "SystemPage", "DateFormat", kDateHint));
  m_timeHint->setText(PackTextOr(pack, "SystemPage", "TimeFormat", kTimeHint));
  NameDateAndTime(PackText(pack, "SystemPage", "ManualTimeData"));
  SetFieldLabel(m_ntpServerLabel, m_ntpServer,
                PackTextOr(pack, "SystemPage", "NTPServer", kNtpServerLabel));
  SetCaption(m_automatic, PackText(pack, "SystemPage", "AutomaticTime"));
  m_dateMessage = PackText(pack, "SystemPage", "Message1");
  m_timeMessage = PackText(pack, "SystemPage", "Message2");
  SetFieldLabel(m_timeZoneLabel, m_timeZone, PackText(pack, "SystemPage", "NTPTimeZone"));
  SetFieldLabel(m_intervalLabel, m_interval, PackText(pack, "SystemPage", "NTPTimeUpdata"));
  SetTitle(PackText(pack, "SystemPage", "TitleSystem"));
  m_hostNameMessage = PackText(pack, "SystemPage", "Message3");
  m_descriptionMessage = PackText(pack, "SystemPage", "Message4");
  m_ntpServerMessage = PackText(pack, "SystemPage", "Message5");
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
}

void CSubSystem::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  // Nothing here is connected to the record, so loading the controls writes nothing back.
  const QSignalBlocker blockZone(m_timeZone);
  const QSignalBlocker blockInterval(m_interval);
  SetLoadedText(m_hostName, LocalQString(s->sys.TitleBar.view()));
  SetLoadedText(m_description, LocalQString(s->sys.Desp.view()));
  m_date->setText(LocalQString(s->sys.Date.view()));
  m_time->setText(LocalQString(s->sys.Time.view()));
  const SystemShown shown = SystemOnPrepare(*s);
  if (shown.mode == ClockMode::Keep) m_keep->setChecked(true);
  if (shown.mode == ClockMode::Automatic) m_automatic->setChecked(true);
  SetLoadedText(m_ntpServer,
                shown.ntpServerFromRecord ? LocalQString(s->sys.NTPName.view()) : QString());
  LoadList(m_timeZone, shown.timeZone, QString::number(s->sys.Timezone));
  LoadList(m_interval, shown.interval, QString::fromStdString(UpdateIntervalName(s->sys.NTPPoll)));
}

void CSubSystem::OnBack() {
  if (session() == nullptr) return;
  PostStep(nav::SystemBack(*session()));
}

void CSubSystem::OnNext() {
  SessionRecord* s = session();
  if (s == nullptr) return;
  const std::string host = m_hostName->text().toStdString();
  const std::string description = m_description->text().toStdString();
  const std::string date = m_date->text().toStdString();
  const std::string time = m_time->text().toStdString();
  const std::string server = m_ntpServer->text().toStdString();
  // The PC's time at this click, not when the page was shown.
  const QDateTime now =
      services().clock != nullptr ? services().clock->Now() : QDateTime::currentDateTime();
  const std::string pcDate = QLocale::c().toString(now, QStringLiteral("yyyy/MM/dd")).toStdString();
  const std::string pcTime = QLocale::c().toString(now, QStringLiteral("HH:mm:ss")).toStdString();

  SystemTyped typed;
  typed.hostName = host;
  typed.description = description;
  if (m_keep->isChecked()) typed.mode = ClockMode::Keep;
  if (m_sync->isChecked()) typed.mode = ClockMode::Sync;
  if (m_manual->isChecked()) typed.mode = ClockMode::Manual;
  if (m_automatic->isChecked()) typed.mode = ClockMode::Automatic;
  typed.date = date;
  typed.time = time;
  typed.ntpServer = server;
  typed.timeZoneIndex = m_timeZone->currentIndex();
  typed.intervalIndex = m_interval->currentIndex();
  typed.pcDate = pcDate;
  typed.pcTime = pcTime;

  const QString caption = ProductCaption();
  switch (SystemNextChecked(*s, typed)) {
    case SystemProblem::None:
      PostStep(nav::kSystemNext);
      return;
    case SystemProblem::HostNameRefused:
      Message(MessageIcon::Stop, caption, m_hostNameMessage);
      return;
    case SystemProblem::DescriptionRefused:
      Message(MessageIcon::Stop, caption, m_descriptionMessage);
      return;
    case SystemProblem::DateRefused:
      Message(MessageIcon::Stop, caption, m_dateMessage);
      return;
    case SystemProblem::TimeRefused:
      Message(MessageIcon::Stop, caption, m_timeMessage);
      return;
    case SystemProblem::NtpServerRefused:
      Message(MessageIcon::Stop, caption, m_ntpServerMessage);
      return;
  }
}

}  // namespace orv::gui
