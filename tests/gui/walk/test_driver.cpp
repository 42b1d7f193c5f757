#include "walk/test_driver.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPixmap>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#endif
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "core/app/camera_fields.h"
#include "core/platform/codepage.h"
#include "core/platform/env.h"
#include "core/util/ipv4.h"
#include "gui/frame/pack_text.h"
#include "gui/window/wizard_dlg.h"

namespace orv::test {

using namespace gui;

namespace {

constexpr int kProbeMs = 10;
constexpr qint64 kNsPerMs = 1000000;
constexpr qint64 kProbeNs = kProbeMs * kNsPerMs;
constexpr qint64 kReportedStallNs = 30 * kNsPerMs;

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

// A box's button by the toolkit's own name, whatever caption the language gave it.
QString StandardName(QMessageBox::StandardButton which) {
  switch (which) {
    case QMessageBox::Ok:
      return QStringLiteral("OK");
    case QMessageBox::Cancel:
      return QStringLiteral("Cancel");
    case QMessageBox::Yes:
      return QStringLiteral("Yes");
    case QMessageBox::No:
      return QStringLiteral("No");
    default:
      return {};
  }
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
  if (!step.contains(QLatin1Char('@'))) return step;
  const CWizardDlg* main = MainWindow();
  if (main == nullptr) return step;
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

// The name a screen reader gives the widget (a button's caption, an edit's label).
QString SpokenName(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  return iface != nullptr ? iface->text(QAccessible::Name) : QString();
}

struct KeyName {
  const char* name;
  int key;
};
constexpr KeyName kKeys[] = {
    {"Tab", Qt::Key_Tab},       {"Backtab", Qt::Key_Backtab}, {"Up", Qt::Key_Up},
    {"Down", Qt::Key_Down},     {"Left", Qt::Key_Left},       {"Right", Qt::Key_Right},
    {"Home", Qt::Key_Home},     {"End", Qt::Key_End},         {"Space", Qt::Key_Space},
    {"Return", Qt::Key_Return}, {"Escape", Qt::Key_Escape}};

// Presses and releases key on the widget with the keyboard focus, as the keyboard would: through
// the application's event filters, queued so that a box it opens does not run inside this tick.
bool PressKey(int key) {
  // Without a focused control the key goes to the active window, as the keyboard's would.
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) target = QApplication::activeWindow();
  if (target == nullptr) return false;
  const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
  const Qt::KeyboardModifiers modifiers =
      key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
  QPointer<QWidget> guard(target);
  QMetaObject::invokeMethod(
      target,
      [guard, key, modifiers, text] {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        if (guard) QApplication::sendEvent(guard, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        if (guard) QApplication::sendEvent(guard, &release);
      },
      Qt::QueuedConnection);
  return true;
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
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
          &CTestDriver::StopMeasuring);
  connect(&m_probe, &QTimer::timeout, this, &CTestDriver::OnProbe);
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
  // The instruments wake the program 200 times a second: off for a run that measures its CPU time.
  driver->m_measure = EnvOverride("ORVANTIS_TEST_MEASURE").value_or("1") != "0";
  driver->m_failShot = QString::fromLocal8Bit(path) + QStringLiteral(".fail.png");
  driver->Start();
  return true;
}

void CTestDriver::Start() {
  m_index = 0;
  m_stepStarted = QDateTime::currentMSecsSinceEpoch();
  m_timer.start();
  if (!m_measure) return;
  m_clock.start();
  m_probeDueNs = kProbeNs;
  m_probe.start();
  QCoreApplication::instance()->installEventFilter(this);
  if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance())
    connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, &CTestDriver::EndBusySpan);
  // One plain thread on each processor: a processor's timer that came late holds up any thread
  // sleeping there, whichever it is.
  const int processors =
      std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxProcessors);
  for (int cpu = 0; cpu < processors; ++cpu) {
    m_references.emplace_back([this, cpu](const std::stop_token& stop) {
#ifdef __linux__
      cpu_set_t one;
      CPU_ZERO(&one);
      CPU_SET(cpu, &one);
      (void)pthread_setaffinity_np(pthread_self(), sizeof one, &one);
#endif
      while (!stop.stop_requested()) {
        const qint64 due = m_clock.nsecsElapsed() + kProbeNs;
        std::this_thread::sleep_for(std::chrono::nanoseconds(kProbeNs));
        const qint64 woke = m_clock.nsecsElapsed();
        if (woke - due < kReportedStallNs / 2) continue;
        const std::lock_guard lock(m_lateNapsMutex);
        m_referenceWorstNs = std::max(m_referenceWorstNs, woke - due);
        if (m_lateNaps.size() < kMaxKept) m_lateNaps.push_back({cpu, due, woke});
      }
    });
  }
}

// How late the probe is served. A long lateness is kept, and shared out at the end: a plain
// thread that slept through the same time wakes together with this one, and may note it a moment
// later.
void CTestDriver::OnProbe() {
  const qint64 now = m_clock.nsecsElapsed();  // monotonic: a step of the wall clock is no stall
  const qint64 due = m_probeDueNs;
  const qint64 late = std::max<qint64>(0, now - due);
  m_probeDueNs = now + kProbeNs;
  Figures& f = m_index == 0 ? m_startup : m_walk;
  f.stallNs = std::max(f.stallNs, late);
  if (late < kReportedStallNs) {
    f.ownStallNs = std::max(f.ownStallNs, late);  // too short to look into: all the thread's
    return;
  }
  if (m_stalls.size() < kMaxKept) m_stalls.push_back({m_index, due, now});
}

// The part of a stall that no processor's plain thread was late with: the thread's own.
qint64 CTestDriver::OwnPart(const Stall& stall) const {
  std::array<qint64, kMaxProcessors> sharedOn{};
  for (const LateNap& nap : m_lateNaps)
    sharedOn[static_cast<std::size_t>(nap.cpu)] +=
        std::max<qint64>(0, std::min(stall.seen, nap.woke) - std::max(stall.due, nap.due));
  const qint64 shared = *std::max_element(sharedOn.begin(), sharedOn.end());
  return std::max<qint64>(0, stall.seen - stall.due - shared);
}

void CTestDriver::StopMeasuring() {
  m_timer.stop();
  m_probe.stop();
  QCoreApplication::instance()->removeEventFilter(this);
  m_references.clear();  // each asked to stop, then joined
}

// Only observes: the first event after a wait opens a busy span; the loop's next wait closes it.
bool CTestDriver::eventFilter(QObject* watched, QEvent* e) {
  if (m_spanStartNs < 0) {
    m_spanStartNs = m_clock.nsecsElapsed();
    // Kept cheap: the text is made only for a span that turns out the longest.
    m_spanClass = watched->metaObject();
    const auto* timer = qobject_cast<QTimer*>(watched);
    m_spanTimerMs = timer != nullptr ? timer->interval() : -1;
    m_spanEvent = static_cast<int>(e->type());
  }
  return false;
}

void CTestDriver::EndBusySpan() {
  if (m_spanStartNs < 0) return;
  const qint64 span = m_clock.nsecsElapsed() - m_spanStartNs;
  m_spanStartNs = -1;
  Figures& f = m_index == 0 ? m_startup : m_walk;
  if (span <= f.busyNs) return;
  f.busyNs = span;
  if (m_index == 0) return;
  m_longestSpanStep = m_index + 1;
  m_longestSpanWhat = QString::fromLatin1(m_spanClass->className());
  if (m_spanTimerMs >= 0) m_longestSpanWhat += QStringLiteral(" of %1 ms").arg(m_spanTimerMs);
  const char* event = QMetaEnum::fromType<QEvent::Type>().valueToKey(m_spanEvent);
  m_longestSpanWhat +=
      QStringLiteral(", event ") +
      (event != nullptr ? QString::fromLatin1(event) : QString::number(m_spanEvent));
}

void CTestDriver::PrintFigures() {
  if (!m_measure) return;
  const auto ms = [](qint64 ns) { return static_cast<long long>(ns / kNsPerMs); };
  const std::lock_guard lock(m_lateNapsMutex);  // the plain threads have ended by now
  for (const Stall& stall : m_stalls) {
    const qint64 own = OwnPart(stall);
    Figures& f = stall.step == 0 ? m_startup : m_walk;
    f.ownStallNs = std::max(f.ownStallNs, own);
    // With the time of the monotonic clock, to find the moment in a system trace.
    const qint64 atMs = m_clock.msecsSinceReference() + stall.seen / kNsPerMs;
    std::fprintf(
        stdout, "test-script: stall %lld ms in step %d, %lld ms of it its own (at %lld.%03lld s)\n",
        ms(stall.seen - stall.due), stall.step + 1, ms(own), atMs / 1000, atMs % 1000);
  }
  std::fprintf(stdout, "test-script: longest stall %lld ms\n", ms(m_walk.stallNs));
  std::fprintf(stdout, "test-script: longest own stall %lld ms\n", ms(m_walk.ownStallNs));
  std::fprintf(stdout, "test-script: longest busy %lld ms in step %d (%s)\n", ms(m_walk.busyNs),
               m_longestSpanStep, m_longestSpanWhat.toUtf8().constData());
  std::fprintf(stdout, "test-script: start-up stall %lld ms (own %lld ms), busy %lld ms\n",
               ms(m_startup.stallNs), ms(m_startup.ownStallNs), ms(m_startup.busyNs));
  std::fprintf(stdout, "test-script: reference lateness %lld ms\n", ms(m_referenceWorstNs));
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
    StopMeasuring();
    PrintFigures();
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
    StopMeasuring();
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
    m_keysSent = 0;
    m_tabbedThrough.clear();
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
      if (Plain(b->text()) != arg && StandardName(box->standardButton(b)) != arg) continue;
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
  if (verb == QLatin1String("key")) {
    const auto* named = std::find_if(std::begin(kKeys), std::end(kKeys), [&arg](const KeyName& k) {
      return arg == QLatin1String(k.name);
    });
    if (named == std::end(kKeys)) {
      Fail(QStringLiteral("no key named ") + arg);
      return Outcome::Failed;
    }
    return PressKey(named->key) ? Outcome::Done : Outcome::Again;
  }
  if (verb == QLatin1String("tab-to")) {
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->isVisible() && SpokenName(focus) == arg) return Outcome::Done;
    const QString at = focus == nullptr ? QStringLiteral("(no focus)")
                                        : QStringLiteral("%1 \"%2\"")
                                              .arg(QLatin1String(focus->metaObject()->className()),
                                                   SpokenName(focus));
    if (!m_tabbedThrough.contains(at)) m_tabbedThrough << at;
    if (++m_keysSent > 60) {
      Fail(QStringLiteral("Tab never reached ") + arg + QStringLiteral("; it went through ") +
           m_tabbedThrough.join(QStringLiteral(", ")));
      return Outcome::Failed;
    }
    PressKey(Qt::Key_Tab);
    return Outcome::Again;
  }
  if (verb == QLatin1String("arrow-to")) {
    QTreeWidget* list = CameraList();
    if (list == nullptr || QApplication::focusWidget() != list) {
      Fail(QStringLiteral("the camera list does not have the keyboard focus"));
      return Outcome::Failed;
    }
    for (QTreeWidgetItem* item : list->selectedItems())
      for (int column = 0; column < list->columnCount(); ++column)
        if (item->text(column) == arg) return Outcome::Done;
    if (++m_keysSent > list->topLevelItemCount() + 2) {
      Fail(QStringLiteral("the arrow keys never selected ") + arg);
      return Outcome::Failed;
    }
    PressKey(Qt::Key_Down);
    return Outcome::Again;
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

}  // namespace orv::test
