#include "gui/app/test_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTreeWidget>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "core/app/camera_fields.h"
#include "core/platform/codepage.h"
#include "core/platform/env.h"
#include "core/util/ipv4.h"
#include "gui/app/wizard_dlg.h"
#include "gui/i18n/pack_text.h"

namespace orv::gui {
namespace {

constexpr int kProbeMs = 10;

QString Plain(QString text) {
  return text.remove(QLatin1Char('&'));
}

template <typename T>
QList<T*> Visible() {
  QList<T*> found;
  for (QWidget* w : QApplication::allWidgets()) {
    if (auto* t = qobject_cast<T*>(w); t != nullptr && t->isVisible()) found.append(t);
  }
  return found;
}

QAbstractButton* ButtonNamed(const QString& name) {
  for (QAbstractButton* b : Visible<QAbstractButton>()) {
    if (b->isEnabled() && (b->accessibleName() == name || Plain(b->text()) == name)) return b;
  }
  return nullptr;
}

// "name value" or "\"a name\" value": the name, then the rest.
std::pair<QString, QString> NameAndValue(const QString& arg) {
  if (arg.startsWith(QLatin1Char('"'))) {
    const qsizetype end = arg.indexOf(QLatin1Char('"'), 1);
    if (end > 0) return {arg.mid(1, end - 1), arg.mid(end + 1).trimmed()};
  }
  const qsizetype gap = arg.indexOf(QLatin1Char(' '));
  if (gap < 0) return {arg, QString()};
  return {arg.left(gap), arg.mid(gap + 1)};
}

// A check box or radio button by its accessible name or text (a visible one, enabled or not).
QAbstractButton* ChoiceNamed(const QString& name) {
  for (QAbstractButton* b : Visible<QAbstractButton>()) {
    if (qobject_cast<QRadioButton*>(b) == nullptr && qobject_cast<QCheckBox*>(b) == nullptr)
      continue;
    if (b->accessibleName() == name || Plain(b->text()) == name) return b;
  }
  return nullptr;
}

template <typename T>
T* VisibleNamed(const QString& name) {
  for (T* w : Visible<T>()) {
    if (w->accessibleName() == name || w->objectName() == name) return w;
  }
  return nullptr;
}

QMessageBox* OpenMessageBox() {
  const QList<QMessageBox*> boxes = Visible<QMessageBox>();
  return boxes.isEmpty() ? nullptr : boxes.front();
}

CWizardDlg* MainWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* main = qobject_cast<CWizardDlg*>(w)) return main;
  return nullptr;
}

// The record as the command-line tool shows a read: camera fields by their own names (secrets
// hidden, texts in UTF-8), then the camera's connection items and the user's choices.
nlohmann::ordered_json SessionJson(const SessionRecord& s) {
  FieldViewOptions options;
  options.codePage = SystemCodePage();
  nlohmann::ordered_json j = CameraSettingsJson(s, options);
  j["cameraAddrText"] = LocalToUtf8(s.cameraAddrText.view());
  j["cameraAddr"] = FormatIpv4(s.cameraAddr);
  j["cameraPortText"] = LocalToUtf8(s.cameraPortText.view());
  j["cameraSerial"] = LocalToUtf8(s.cameraSerial.view());
  j["cameraWireless"] = s.cameraWireless;
  j["extendedCgi"] = s.extendedCgi;
  j["wizardMode"] = s.wizardMode;
  j["newCamera"] = s.newCamera;
  j["linkWireless"] = s.linkWireless;
  j["linkPppoe"] = s.linkPppoe;
  j["useWps"] = s.useWps;
  j["wpsStatus"] = s.wpsStatus;
  j["wpsAck"] = s.wpsAck;
  j["apScanOk"] = s.apScanOk;
  j["apCount"] = s.apCount;
  return j;
}

// A value as the script writes it: "\\n" stands for a line break.
QString Unescaped(QString text) {
  return text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

// "@Section/Key" stands for that text of the active pack, so one script serves every language.
QString WithPackTexts(const QString& step) {
  static const QRegularExpression key(QStringLiteral("@([A-Za-z0-9_]+)/([A-Za-z0-9_]+)"));
  const CWizardDlg* main = MainWindow();
  if (main == nullptr || !step.contains(QLatin1Char('@'))) return step;
  QString out;
  qsizetype last = 0;
  for (QRegularExpressionMatchIterator it = key.globalMatch(step); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    out += step.mid(last, m.capturedStart() - last);
    out += PackText(main->pack(), m.captured(1).toStdString(), m.captured(2).toStdString());
    last = m.capturedEnd();
  }
  return out + step.mid(last);
}

QTreeWidget* CameraList() {
  const QList<QTreeWidget*> lists = Visible<QTreeWidget>();
  return lists.isEmpty() ? nullptr : lists.front();
}

QWidget* ActiveWindow() {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  if (QWidget* w = QApplication::activeWindow()) return w;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) return w;
  return nullptr;
}

}  // namespace

CTestDriver::CTestDriver(QStringList steps, int stepTimeoutMs, QObject* parent)
    : QObject(parent), m_steps(std::move(steps)), m_stepTimeoutMs(stepTimeoutMs) {
  m_timer.setInterval(50);
  connect(&m_timer, &QTimer::timeout, this, &CTestDriver::Tick);
  m_probe.setTimerType(Qt::PreciseTimer);
  m_probe.setInterval(kProbeMs);
  // Timers must be stopped while the application still runs: the driver is deleted with it.
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
    m_timer.stop();
    m_probe.stop();
  });
  connect(&m_probe, &QTimer::timeout, this, [this] {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_longestStall = std::max(m_longestStall, now - m_probeDue);
    m_probeDue = now + kProbeMs;
  });
}

bool CTestDriver::StartFromEnvironment() {
  // Never with raised privileges: the script clicks and writes pictures where it says.
  const std::optional<std::string> script = EnvOverride("ORVANTIS_TEST_SCRIPT");
  if (!script || script->empty()) return false;
  const char* path = script->c_str();
  QFile file(QString::fromLocal8Bit(path));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    std::fprintf(stderr, "test-script: cannot read %s\n", path);
    return false;
  }
  QStringList steps;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
    const QString step = line.trimmed();
    if (!step.isEmpty() && !step.startsWith(QLatin1Char('#'))) steps.append(step);
  }
  int timeoutMs = 60000;
  if (const std::optional<std::string> t = EnvOverride("ORVANTIS_TEST_STEP_MS")) {
    bool ok = false;
    const int value = QString::fromStdString(*t).toInt(&ok);
    if (ok && value > 0) timeoutMs = value;
  }
  auto* driver = new CTestDriver(std::move(steps), timeoutMs, QCoreApplication::instance());
  driver->m_failShot = QString::fromLocal8Bit(path) + QStringLiteral(".fail.png");
  driver->Start();
  return true;
}

void CTestDriver::Start() {
  m_index = 0;
  m_stepStarted = QDateTime::currentMSecsSinceEpoch();
  m_timer.start();
  m_probeDue = m_stepStarted + kProbeMs;
  m_probe.start();
}

void CTestDriver::Fail(const QString& why) {
  m_failure = why;
}

void CTestDriver::Tick() {
  // A step may open a modal box whose own event loop keeps this timer running; never re-enter.
  static bool running = false;
  if (running) return;
  running = true;
  if (m_index >= m_steps.size()) {
    m_timer.stop();
    m_probe.stop();
    std::fprintf(stdout, "test-script: longest stall %lld ms\n",
                 static_cast<long long>(m_longestStall));
    std::fprintf(stdout, "test-script: all %d steps passed\n", static_cast<int>(m_steps.size()));
    std::fflush(stdout);
    running = false;
    QCoreApplication::exit(0);
    return;
  }
  const QString step = m_steps[m_index];
  const Outcome outcome = Run(step);
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (outcome == Outcome::Again && now - m_stepStarted > m_stepTimeoutMs)
    Fail(QStringLiteral("timed out"));
  if (outcome == Outcome::Failed || !m_failure.isEmpty()) {
    m_timer.stop();
    m_probe.stop();
    std::fprintf(stderr, "test-script: step %d \"%s\" failed: %s\n", m_index + 1,
                 step.toUtf8().constData(), m_failure.toUtf8().constData());
    // What was on the screen, for the one who reads the log.
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible()) continue;
      std::fprintf(stderr, "test-script: window \"%s\" (%s)\n",
                   w->windowTitle().toUtf8().constData(), w->metaObject()->className());
    }
    for (QAbstractButton* b : Visible<QAbstractButton>())
      std::fprintf(stderr, "test-script:   button \"%s\"%s\n",
                   b->accessibleName().toUtf8().constData(), b->isEnabled() ? "" : " (disabled)");
    if (QWidget* window = ActiveWindow(); window != nullptr && !m_failShot.isEmpty())
      window->grab().save(m_failShot);
    std::fflush(stderr);
    running = false;
    QCoreApplication::exit(3);
    return;
  }
  if (outcome == Outcome::Done) {
    std::fprintf(stdout, "test-script: step %d \"%s\" ok after %lld ms\n", m_index + 1,
                 step.toUtf8().constData(), static_cast<long long>(now - m_stepStarted));
    std::fflush(stdout);
    ++m_index;
    m_stepStarted = now;
    m_sleepUntil = -1;
  }
  running = false;
}

CTestDriver::Outcome CTestDriver::Run(const QString& written) {
  const QString step = WithPackTexts(written);
  const qsizetype space = step.indexOf(QLatin1Char(' '));
  const QString verb = space < 0 ? step : step.left(space);
  const QString arg = space < 0 ? QString() : step.mid(space + 1).trimmed();

  if (verb == QLatin1String("click")) {
    QAbstractButton* button = ButtonNamed(arg);
    if (button == nullptr) return Outcome::Again;
    // Queued: the click may open a modal box, which must not run inside this tick.
    QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
    return Outcome::Done;
  }
  if (verb == QLatin1String("check") || verb == QLatin1String("uncheck")) {
    QAbstractButton* choice = ChoiceNamed(arg);
    if (choice == nullptr || !choice->isEnabled()) return Outcome::Again;
    const bool want = verb == QLatin1String("check");
    const bool isBox = qobject_cast<QCheckBox*>(choice) != nullptr;
    if (!isBox && !want) {
      Fail(QStringLiteral("a radio button is cleared by checking another"));
      return Outcome::Failed;
    }
    // A radio button is clicked even when checked, as a user would; a check box only to change.
    if (!isBox || choice->isChecked() != want)
      QMetaObject::invokeMethod(choice, &QAbstractButton::click, Qt::QueuedConnection);
    return Outcome::Done;
  }
  if (verb == QLatin1String("choose")) {
    const auto [name, item] = NameAndValue(arg);
    QComboBox* combo = VisibleNamed<QComboBox>(name);
    if (combo == nullptr || !combo->isEnabled()) return Outcome::Again;
    const int index = combo->findText(item);
    if (index < 0) {
      Fail(QStringLiteral("no item ") + item);
      return Outcome::Failed;
    }
    combo->setCurrentIndex(index);
    // The pages act on the user's pick, which comes with activated.
    QMetaObject::invokeMethod(
        combo, [combo, index] { emit combo->activated(index); }, Qt::QueuedConnection);
    return Outcome::Done;
  }
  if (verb == QLatin1String("set-ip")) {
    const auto [name, value] = NameAndValue(arg);
    const std::optional<std::uint32_t> address = ParseIpv4(value.toStdString());
    if (!address) {
      Fail(QStringLiteral("not a dotted quad"));
      return Outcome::Failed;
    }
    QWidget* field = VisibleNamed<QWidget>(name);
    if (field == nullptr || !field->isEnabled()) return Outcome::Again;
    // One edit for the whole address, or four octet edits (line or spin boxes) inside the field.
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
      edit->setText(value);
      emit edit->textEdited(value);
      return Outcome::Done;
    }
    QList<QLineEdit*> edits = field->findChildren<QLineEdit*>();
    QList<QSpinBox*> spins = field->findChildren<QSpinBox*>();
    if (spins.size() == 4) {
      for (int i = 0; i < 4; ++i) spins[i]->setValue(Ipv4Octet(*address, i));
      return Outcome::Done;
    }
    if (edits.size() == 4) {
      for (int i = 0; i < 4; ++i) {
        const QString octet = QString::number(Ipv4Octet(*address, i));
        edits[i]->setText(octet);
        emit edits[i]->textEdited(octet);
      }
      return Outcome::Done;
    }
    Fail(QStringLiteral("no address edit named ") + name);
    return Outcome::Failed;
  }
  if (verb == QLatin1String("answer")) {
    QMessageBox* box = OpenMessageBox();
    if (box == nullptr) return Outcome::Again;
    for (QAbstractButton* b : box->buttons()) {
      if (Plain(b->text()) != arg) continue;
      std::fprintf(stdout, "test-script: message \"%s\" answered %s\n",
                   box->text().toUtf8().constData(), arg.toUtf8().constData());
      QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection);
      return Outcome::Done;
    }
    Fail(QStringLiteral("the message box has no button ") + arg + QStringLiteral(": ") +
         box->text());
    return Outcome::Failed;
  }
  if (verb == QLatin1String("expect-message")) {
    QMessageBox* box = OpenMessageBox();
    if (box == nullptr) return Outcome::Again;
    if (box->text().contains(Unescaped(arg))) return Outcome::Done;
    Fail(QStringLiteral("the message box says: ") + box->text());
    return Outcome::Failed;
  }
  if (verb == QLatin1String("expect-label")) {
    const auto [name, value] = NameAndValue(arg);
    const QString text = Unescaped(value);
    QLabel* label = VisibleNamed<QLabel>(name);
    if (label != nullptr && label->text() == text) return Outcome::Done;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (label != nullptr && now - m_stepStarted > m_stepTimeoutMs)
      Fail(QStringLiteral("the label shows \"") + label->text() + QStringLiteral("\""));
    return Outcome::Again;
  }
  if (verb == QLatin1String("post-step")) {
    CWizardDlg* main = MainWindow();
    bool ok = false;
    const int code = arg.toInt(&ok);
    if (!ok) {
      Fail(QStringLiteral("not a step code"));
      return Outcome::Failed;
    }
    if (main == nullptr) return Outcome::Again;
    main->PostStep(code);
    return Outcome::Done;
  }
  if (verb == QLatin1String("dump-session")) {
    CWizardDlg* main = MainWindow();
    if (main == nullptr) return Outcome::Again;
    QFile out(arg);
    const std::string text =
        SessionJson(main->session()).dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size())) {
      Fail(QStringLiteral("cannot write ") + arg);
      return Outcome::Failed;
    }
    return Outcome::Done;
  }
  if (verb == QLatin1String("set-text")) {
    const auto [name, value] = NameAndValue(arg);
    for (QLineEdit* edit : Visible<QLineEdit>()) {
      if (edit->accessibleName() == name && edit->isEnabled()) {
        edit->setText(value);
        return Outcome::Done;
      }
    }
    return Outcome::Again;
  }
  if (verb == QLatin1String("wait-list") || verb == QLatin1String("select-row")) {
    bool ok = false;
    const int n = arg.toInt(&ok);
    if (!ok || n < 0) {
      Fail(QStringLiteral("not a row count"));
      return Outcome::Failed;
    }
    QTreeWidget* list = CameraList();
    if (list == nullptr) return Outcome::Again;
    if (verb == QLatin1String("wait-list")) {
      return list->topLevelItemCount() >= n ? Outcome::Done : Outcome::Again;
    }
    if (n >= list->topLevelItemCount()) return Outcome::Again;
    list->clearSelection();
    list->topLevelItem(n)->setSelected(true);
    list->setCurrentItem(list->topLevelItem(n));
    return Outcome::Done;
  }
  if (verb == QLatin1String("select-text")) {
    QTreeWidget* list = CameraList();
    if (list == nullptr) return Outcome::Again;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
      QTreeWidgetItem* item = list->topLevelItem(row);
      for (int column = 0; column < list->columnCount(); ++column) {
        if (item->text(column) != arg) continue;
        list->clearSelection();
        item->setSelected(true);
        list->setCurrentItem(item);
        return Outcome::Done;
      }
    }
    return Outcome::Again;
  }
  if (verb == QLatin1String("expect-page")) {
    for (QWidget* w : QApplication::allWidgets()) {
      const QString name = QString::fromLatin1(w->metaObject()->className());
      if (w->isVisible() && (name == arg || name.endsWith(QStringLiteral("::") + arg)))
        return Outcome::Done;
    }
    return Outcome::Again;
  }
  if (verb == QLatin1String("screenshot")) {
    QWidget* window = ActiveWindow();
    if (window == nullptr) return Outcome::Again;
    if (!window->grab().save(arg)) {
      Fail(QStringLiteral("cannot write ") + arg);
      return Outcome::Failed;
    }
    return Outcome::Done;
  }
  if (verb == QLatin1String("close-window")) {
    // The user closing the main window; the line lets a lab test time the exit.
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || qobject_cast<QMainWindow*>(w) == nullptr) continue;
      std::fprintf(stdout, "test-script: closing at %lld\n",
                   static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
      std::fflush(stdout);
      w->close();
      return Outcome::Done;
    }
    return Outcome::Again;
  }
  if (verb == QLatin1String("sleep")) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_sleepUntil < 0) m_sleepUntil = now + arg.toLongLong();
    return now >= m_sleepUntil ? Outcome::Done : Outcome::Again;
  }
  Fail(QStringLiteral("unknown step"));
  return Outcome::Failed;
}

}  // namespace orv::gui
