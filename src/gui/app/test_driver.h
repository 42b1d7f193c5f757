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
//   answer <button>       wait for a message box and press its button (Yes, No, OK, Cancel)
//   expect-message <t>    wait for a message box whose text contains t (it stays open)
//   expect-label <name> <t>  wait until the visible label whose object or accessible name is name
//                         shows exactly t
//   wait-list <n>         wait until the visible camera list has at least n rows
//   select-row <n>        select row n (from 0) of the visible camera list
//   select-text <t>       select the first row of the visible camera list with a cell equal to t
//   expect-page <class>   wait until a visible page's class name ends with class
//   post-step <code>      post a step code to the main window, as a page's button would
//   dump-session <file>   write the main window's session record as JSON (secrets hidden)
//   screenshot <file>     save a picture of the active window
//   sleep <ms>            wait
//   close-window          close the main window as its user would (prints the time it did)
// Each passed step prints how long it took (waiting steps: from the end of the step before).
// Meanwhile a 10 ms probe timer measures how late the user-interface thread serves it; the worst
// lateness is printed at the end ("test-script: longest stall N ms").
// Each waiting step gives up after ORVANTIS_TEST_STEP_MS (default 60000) ms. At the end the
// program quits with status 0; at the first failure it prints the line, what was on the screen and
// saves a picture of it beside the script (<script>.fail.png), then quits with status 3.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace orv::gui {

class CTestDriver : public QObject {
  Q_OBJECT
 public:
  CTestDriver(QStringList steps, int stepTimeoutMs, QObject* parent = nullptr);

  // Reads ORVANTIS_TEST_SCRIPT and starts a driver owned by the application; false when unset
  // or unreadable (then a line says why, and nothing is driven).
  static bool StartFromEnvironment();

  void Start();

 private:
  enum class Outcome { Done, Again, Failed };
  void Tick();
  Outcome Run(const QString& written);
  void Fail(const QString& why);

  QStringList m_steps;
  int m_index = 0;
  int m_stepTimeoutMs;
  qint64 m_stepStarted = 0;
  qint64 m_sleepUntil = -1;
  QString m_failure;
  QString m_failShot;  // a picture of the screen at a failure
  QTimer m_timer;
  QTimer m_probe;  // the stall probe
  qint64 m_probeDue = 0;
  qint64 m_longestStall = 0;
};

}  // namespace orv::gui
