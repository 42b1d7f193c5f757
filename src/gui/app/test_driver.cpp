#include "gui/app/test_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPixmap>
#include <QTreeWidget>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/platform/env.h"

namespace orv::gui {
namespace {

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

CTestDriver::Outcome CTestDriver::Run(const QString& step) {
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
  if (verb == QLatin1String("set-text")) {
    const qsizetype gap = arg.indexOf(QLatin1Char(' '));
    const QString name = gap < 0 ? arg : arg.left(gap);
    for (QLineEdit* edit : Visible<QLineEdit>()) {
      if (edit->accessibleName() == name && edit->isEnabled()) {
        edit->setText(gap < 0 ? QString() : arg.mid(gap + 1));
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
