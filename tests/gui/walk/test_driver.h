#pragma once
// Drives the real program from a script of steps, for lab walks and screenshots. Started only
// when ORVANTIS_TEST_SCRIPT names a file; the program never reads it otherwise.
//
// One step a line; blank lines and lines starting with "#" are skipped. A name that holds blanks
// is written in double quotes where a value follows it ("IP Address" 10.0.0.50). "@Section/Key"
// anywhere in a step stands for that text of the active pack ("click @Common/BtnNext").
//   click <name>          press the visible, enabled button whose accessible name (or text) is name
//   check <name>          click the radio button or check box named name (a check box only when
//                         it is not checked yet); uncheck <name> clears a check box
//   choose <name> <item>  pick the item with text item in the combo box named name, as a user does
//   set-text <name> <t>   put t into the visible edit whose accessible name is name
//   set-ip <name> <a.b.c.d>  fill the address field named name (one edit, or four octet edits)
//   answer <button>       wait for a message box and press its button (Yes, No, OK, Cancel: by
//                         these names in any language, or by the caption shown)
//   expect-message <t>    wait for a message box whose text contains t (it stays open)
//   expect-label <name> <t>  wait until the visible label whose object or accessible name is name
//                         shows exactly t
//   wait-list <n>         wait until the visible camera list has at least n rows
//   select-row <n>        select row n (from 0) of the visible camera list
//   select-text <t>       select the first row of the visible camera list with a cell equal to t
//   key <name>            press a key on the widget with the keyboard focus (Tab, Backtab, Up,
//                         Down, Left, Right, Home, End, Space, Return, Escape)
//   tab-to <name>         press Tab until the control the screen reader calls name has the focus
//   arrow-to <t>          press Down on the focused camera list until a selected row has a cell t
//   expect-page <class>   wait until a visible page's class name ends with class
//   post-step <code>      post a step code to the main window, as a page's button would
//   dump-session <file>   write the main window's session record as JSON (secrets hidden)
//   screenshot <file>     save a picture of the active window
//   sleep <ms>            wait
//   close-window          close the main window as its user would (prints the time it did)
// Each passed step prints how long it took (waiting steps: from the end of the step before).
// Meanwhile the user-interface thread is measured, and the figures printed at the end:
// - "longest stall N ms": how late a 10 ms probe timer was served at worst. Each lateness of 30 ms
//   or more is listed too, with the step then running and its share below.
// - "longest own stall N ms": the same, less the time a plain thread of the program, sleeping
//   10 ms at a time on one processor, was late too (there is one such thread on each). When both
//   wake late together the machine ran neither (a virtual machine's timers can come tens of
//   milliseconds late while it idles).
// - "longest busy N ms in step K (what)": the longest time the thread spent away from its event
//   loop, from the first event it handled after waking to the moment it was about to wait again,
//   with the event that started it: the thread's own work, whatever the machine did.
// - "reference lateness N ms": how late a plain thread woke at worst.
// The first three leave out the first step (the window coming up: fonts are loaded and the first
// page painted), which has a line of its own ("start-up stall ...").
// ORVANTIS_TEST_MEASURE=0 leaves these instruments off (they cost CPU time of their own).
// Each waiting step gives up after ORVANTIS_TEST_STEP_MS (default 60000) ms. At the end the
// program quits with status 0; at the first failure it prints the line, what was on the screen and
// saves a picture of it beside the script (<script>.fail.png), then quits with status 3.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <array>
#include <mutex>
#include <thread>
#include <vector>

namespace orv::test {

class CTestDriver : public QObject {
  Q_OBJECT
 public:
  CTestDriver(QStringList steps, int stepTimeoutMs, QObject* parent = nullptr);

  // Reads ORVANTIS_TEST_SCRIPT and starts a driver owned by the application; false when unset
  // or unreadable (then a line says why, and nothing is driven).
  static bool StartFromEnvironment();

  void Start();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  enum class Outcome { Done, Again, Failed };
  void Tick();
  Outcome Run(const QString& written);
  void Fail(const QString& why);
  void OnProbe();
  void EndBusySpan();
  void StopMeasuring();
  void PrintFigures();

  QStringList m_steps;
  int m_index = 0;
  int m_stepTimeoutMs;
  qint64 m_stepStarted = 0;
  qint64 m_sleepUntil = -1;
  int m_keysSent = 0;           // by the step under way (tab-to, arrow-to)
  QStringList m_tabbedThrough;  // where tab-to's presses landed, for its failure
  QString m_failure;
  QString m_failShot;  // a picture of the screen at a failure
  QTimer m_timer;
  QTimer m_probe;  // the stall probe
  qint64 m_probeDueNs = 0;
  bool m_measure = true;
  // The figures of the first step (start-up) and of the rest (the walk), in nanoseconds.
  struct Figures {
    qint64 stallNs = 0;
    qint64 ownStallNs = 0;
    qint64 busyNs = 0;
  };
  Figures m_startup;
  Figures m_walk;
  // The busy span now open (-1: the thread waits), what began it, and what began the longest.
  QElapsedTimer m_clock;
  qint64 m_spanStartNs = -1;
  const QMetaObject* m_spanClass = nullptr;
  int m_spanTimerMs = -1;  // the interval when a timer began the span
  int m_spanEvent = 0;
  int m_longestSpanStep = 0;
  QString m_longestSpanWhat;
  // The long stalls of the probe (step from 0, when due, when served), and the plain threads' late
  // naps (on which processor, from when due to when woken); at most kMaxKept of each.
  static constexpr int kMaxProcessors = 8;
  static constexpr std::size_t kMaxKept = 100000;
  struct Stall {
    int step = 0;
    qint64 due = 0;
    qint64 seen = 0;
  };
  struct LateNap {
    int cpu = 0;
    qint64 due = 0;
    qint64 woke = 0;
  };
  qint64 OwnPart(const Stall& stall) const;
  std::vector<Stall> m_stalls;
  std::mutex m_lateNapsMutex;
  std::vector<LateNap> m_lateNaps;
  qint64 m_referenceWorstNs = 0;
  std::vector<std::jthread> m_references;  // after what they use: they end first
};

}  // namespace orv::test
