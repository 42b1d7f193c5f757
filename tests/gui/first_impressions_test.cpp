// What a new user meets first: the program started from a terminal (with and without a display),
// its icon, and the Chinese window, which must not show English the pack did not put there.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>
#include <set>

#include "core/app/navigation.h"
#include "core/i18n/language_pack.h"
#include "gui/dialogs/about_dlg.h"
#include "gui/dialogs/dlg_login_root.h"
#include "gui/support/window_fixture.h"
#include "gui/window/sub_form_collection.h"
#include "gui/window/wizard_app.h"

namespace orv::test {

using namespace gui;

namespace {

struct ProgramRun {
  int status = -1;
  bool crashed = true;
  QString out;
  QString err;
};

// The real program, as from an ssh session: no display of any kind in its environment.
ProgramRun RunProgram(const QStringList& arguments, const QString& display = QString()) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_SOCKET"})
    env.remove(QLatin1String(name));
  if (!display.isEmpty()) env.insert(QStringLiteral("DISPLAY"), display);
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(ORVANTIS_BINARY_DIR "/bin/orvantis"), arguments);
  ProgramRun r;
  if (!p.waitForStarted(10000) || !p.waitForFinished(60000)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.crashed = p.exitStatus() != QProcess::NormalExit;
  r.status = p.exitCode();
  r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
  r.err = QString::fromLocal8Bit(p.readAllStandardError());
  return r;
}

// Latin words a Chinese reader reads in English: product names, the network terms and units
// written that way in Chinese texts, the user name root, date patterns and hexadecimal digits.
const std::set<QString> kLatinAllowed = {
    QStringLiteral("Orvantis"),
    QStringLiteral("IP"),
    QStringLiteral("MAC"),
    QStringLiteral("UPnP"),
    QStringLiteral("PPPoE"),
    QStringLiteral("WPS"),
    QStringLiteral("DHCP"),
    QStringLiteral("DNS"),
    QStringLiteral("LAN"),
    QStringLiteral("WAN"),
    QStringLiteral("SSID"),
    QStringLiteral("WEP"),
    QStringLiteral("WPA"),
    QStringLiteral("PSK"),
    QStringLiteral("TKIP"),
    QStringLiteral("AES"),
    QStringLiteral("HTTP"),
    QStringLiteral("RTSP"),
    QStringLiteral("NTP"),
    QStringLiteral("ID"),
    QStringLiteral("AP"),
    QStringLiteral("PC"),
    QStringLiteral("ARP"),
    QStringLiteral("HEX"),
    QStringLiteral("ASCII"),
    QStringLiteral("GMT"),
    QStringLiteral("Mbps"),
    QStringLiteral("root"),
    QStringLiteral("yyyy"),
    QStringLiteral("mm"),
    QStringLiteral("dd"),
    QStringLiteral("hh"),
    QStringLiteral("ss"),
    QStringLiteral("A"),
    QStringLiteral("F"),
    // The wireless page's fixed list entries, written in English on Chinese wireless settings too:
    // the modes, "Auto", "NONE", the rates in M(bit/s), the WEP keys, lengths and authentication.
    QStringLiteral("Key"),
    QStringLiteral("bits"),
    QStringLiteral("Open"),
    QStringLiteral("Shared"),
    QStringLiteral("Ad"),
    QStringLiteral("Hoc"),
    QStringLiteral("Infrastructure"),
    QStringLiteral("Auto"),
    QStringLiteral("NONE"),
    QStringLiteral("M"),
};

// A text as it reads on screen: no access-key marks ("(&H)" or "&"), no markup.
QString Shown(QString text) {
  static const QRegularExpression accessKey(QStringLiteral("\\(&[A-Za-z]\\)"));
  static const QRegularExpression markup(QStringLiteral("<[^>]*>"));
  text.remove(accessKey).remove(markup);
  return text.remove(QLatin1Char('&'));
}

struct Finding {
  QStringList problems;
  int texts = 0;

  void Check(const QString& where, const QString& raw) {
    const QString text = Shown(raw);
    if (text.trimmed().isEmpty()) return;
    ++texts;
    static const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    for (auto it = word.globalMatch(text); it.hasNext();) {
      const QString w = it.next().captured();
      if (kLatinAllowed.count(w) == 0)
        problems << QStringLiteral("%1: \"%2\" in \"%3\"").arg(where, w, text.simplified());
    }
  }
};

// Every text a widget shows: labels, captions, group titles, list headers, drop-down items.
// Controls the template keeps hidden and disabled for good are never seen.
void CheckTexts(QWidget* root, const QString& name, Finding& f) {
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  for (QWidget* w : widgets) {
    if (w->isHidden() && !w->isEnabled()) continue;
    const QString where =
        QStringLiteral("%1 %2").arg(name, QLatin1String(w->metaObject()->className()));
    if (w->isWindow()) f.Check(where + QStringLiteral(" title"), w->windowTitle());
    if (auto* label = qobject_cast<QLabel*>(w)) f.Check(where, label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) f.Check(where, button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w)) f.Check(where, group->title());
    // The time-zone and update-interval lists keep their fixed entries as documented (place
    // names, "12 hour"); the camera stores the index, not the text.
    const bool zoneNames = w->objectName() == QLatin1String("timeZone") ||
                           w->objectName() == QLatin1String("interval");
    if (auto* combo = qobject_cast<QComboBox*>(w);
        combo != nullptr && !combo->isEditable() && !zoneNames) {
      for (int i = 0; i < combo->count(); ++i) f.Check(where, combo->itemText(i));
    }
    // The headers of lists and tables, hidden columns left out.
    if (auto* header = qobject_cast<QHeaderView*>(w); header != nullptr && header->model()) {
      for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c)) continue;
        f.Check(where, header->model()->headerData(c, header->orientation()).toString());
      }
    }
  }
}

void CheckMenus(QMenuBar* bar, Finding& f) {
  for (QAction* top : bar->actions()) {
    f.Check(QStringLiteral("menu"), top->text());
    if (QMenu* menu = top->menu()) {
      for (QAction* item : menu->actions()) f.Check(QStringLiteral("menu item"), item->text());
    }
  }
}

// The English pack without the keys that give the templates' fixed texts, as packs were written
// before those keys existed.
void WriteOldPack(const std::string& folder) {
  const std::set<std::string> newer = {"TitleSearch", "ListIP",    "ListMAC",   "ListPort",
                                       "ListDesc",    "ListSPort", "LinkGroup", "BtnCancel",
                                       "MenuHelp",    "MenuAbout"};
  std::ifstream in(std::string(ORVANTIS_SOURCE_DIR) + "/Language/ENG.ini", std::ios::binary);
  std::ofstream out(folder + "Language/OLD.ini", std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (newer.count(line.substr(0, line.find('='))) == 0) out << line << '\n';
  }
}

}  // namespace

class FirstImpressionsTest : public QObject {
  Q_OBJECT
 private slots:
  void programFromATerminalWithoutDisplay_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");  // a piece of standard output
    QTest::addColumn<QString>("err");  // a piece of standard error
    const QString noDisplay = QString::fromLatin1(kNoDisplayLine) + QLatin1Char('\n');
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << QString() << 0
                          << QStringLiteral("Usage: orvantis") << QString();
    QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << QString() << 0
                        << QStringLiteral("--link-server HOST") << QString();
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << QString() << 0
                             << QStringLiteral("orvantis ") << QString();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate")} << QString() << 2
                                    << QString() << QStringLiteral("Usage: orvantis");
    QTest::newRow("option without its value")
        << QStringList{QStringLiteral("--link-server")} << QString() << 2 << QString()
        << QStringLiteral("Usage: orvantis");
    QTest::newRow("stray argument") << QStringList{QStringLiteral("camera")} << QString() << 2
                                    << QString() << QStringLiteral("Usage: orvantis");
    QTest::newRow("bare") << QStringList{} << QString() << 1 << QString() << noDisplay;
    QTest::newRow("options but no display")
        << QStringList{QStringLiteral("--probe-host"), QStringLiteral("192.0.2.1")} << QString()
        << 1 << QString() << noDisplay;
    // A display that names no server: the toolkit's own failure, caught rather than aborting.
    QTest::newRow("display without a server")
        << QStringList{} << QStringLiteral(":93517") << 1 << QString() << noDisplay;
  }
  void programFromATerminalWithoutDisplay() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const ProgramRun r = RunProgram(arguments, display);
    QVERIFY2(!r.crashed, qPrintable(r.err));
    QCOMPARE(r.status, status);
    if (!out.isEmpty()) QVERIFY2(r.out.contains(out), qPrintable(r.out));
    if (status == 1) {
      // Exactly the one line, nothing of the toolkit's.
      QCOMPARE(r.err, err);
      QVERIFY(r.out.isEmpty());
    } else if (!err.isEmpty()) {
      QVERIFY2(r.err.contains(err), qPrintable(r.err));
      QVERIFY(r.out.isEmpty());
    } else {
      QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    }
  }

  void helpListsEveryOptionAndTheExitStatuses() {
    const QString help = HelpText();
    for (const char* piece : {"--link-server HOST", "--probe-host HOST", "--screenshot FILE",
                              "--help", "--version", "Exit status:", "orvantis-cli"})
      QVERIFY2(help.contains(QLatin1String(piece)), piece);
    // Every option line says what it does, starting with a capital letter.
    static const QRegularExpression row(QStringLiteral("^  -\\S.*?\\s{2,}(\\S)"),
                                        QRegularExpression::MultilineOption);
    int rows = 0;
    for (auto it = row.globalMatch(help); it.hasNext(); ++rows) {
      const QString first = it.next().captured(1);
      QVERIFY2(first.at(0).isUpper(), qPrintable(first));
    }
    QCOMPARE(rows, 5);
  }

  void toolkitOptionsPassAndOwnOptionsAreRead() {
    const CommandLine line = ParseCommandLine(
        {QStringLiteral("orvantis"), QStringLiteral("-platform"), QStringLiteral("offscreen"),
         QStringLiteral("-style"), QStringLiteral("Fusion"), QStringLiteral("--link-server"),
         QStringLiteral("link.example.org"), QStringLiteral("--probe-host=192.0.2.7"),
         QStringLiteral("--screenshot"), QStringLiteral("/tmp/x.png")});
    QCOMPARE(line.action, CommandLine::Action::Run);
    QVERIFY(line.platformChosen);
    QVERIFY(DisplayConfigured(line));
    QCOMPARE(line.options.linkServerHost, std::string("link.example.org"));
    QCOMPARE(line.options.probeHost, std::string("192.0.2.7"));
    QCOMPARE(line.options.screenshotPath, QStringLiteral("/tmp/x.png"));

    const CommandLine both = ParseCommandLine(
        {QStringLiteral("orvantis"), QStringLiteral("--frobnicate"), QStringLiteral("--help")});
    QCOMPARE(both.action, CommandLine::Action::Usage);
    QVERIFY(both.error.contains(QStringLiteral("frobnicate")));
  }

  void windowIconIsBuiltIn() {
    const QIcon icon = BuiltInIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    QVERIFY(icon.availableSizes().contains(QSize(256, 256)));
    const QImage small = icon.pixmap(QSize(32, 32)).toImage();
    QCOMPARE(small.size(), QSize(32, 32));
    // A real picture, not an empty square.
    QVERIFY(small.pixelColor(16, 16).alpha() > 0);
    QVERIFY(!ProgramIcon().isNull());
  }

  void chineseWindowShowsOnlyEnglishThatChineseReadersUse() {
    WindowOnFakes frame("CHT.ini");
    QVERIFY(frame.Start());
    CWizardDlg& w = *frame.window;
    Finding f;
    // Every page, built or still a frame: the same rule for each.
    for (int i = 0; i < w.pageArea()->count(); ++i)
      CheckTexts(w.page(i),
                 QStringLiteral("page %1 (%2)")
                     .arg(i)
                     .arg(QLatin1String(w.page(i)->metaObject()->className())),
                 f);
    CheckMenus(w.menuBar(), f);
    f.Check(QStringLiteral("main window title"), w.windowTitle());
    CDlgLoginRoot root(w.pack(), nullptr, nullptr);
    CheckTexts(&root, QStringLiteral("root login dialog"), f);
    CAboutDlg about(w.pack());
    CheckTexts(&about, QStringLiteral("about dialog"), f);
    QVERIFY2(f.texts >= 60, qPrintable(QString::number(f.texts)));
    QVERIFY2(f.problems.isEmpty(), qPrintable(f.problems.join(QLatin1Char('\n'))));
  }

  void packsWithoutTheNewKeysKeepTheTemplateTexts() {
    WindowOnFakes frame("OLD.ini");
    WriteOldPack(frame.folder());
    QVERIFY(frame.Start());
    CWizardDlg& w = *frame.window;
    QCOMPARE(w.findChild<QMenu*>(QStringLiteral("helpMenu"))->title(), QStringLiteral("&Help"));
    QCOMPARE(w.findChild<QAction*>(QStringLiteral("aboutAction"))->text(),
             QStringLiteral("About Orvantis(&A)..."));
    QWidget* search = w.page(nav::kPageSearch);
    QCOMPARE(search->findChild<QLabel*>(QStringLiteral("titleLine"))->text(),
             QStringLiteral("STEP \nFind The Camera"));
    QTreeWidgetItem* headers = search->findChild<QTreeWidget*>()->headerItem();
    QCOMPARE(headers->text(0), QStringLiteral("IP"));
    QCOMPARE(headers->text(3), QStringLiteral("DESC / INTERFACE"));
    QCOMPARE(headers->text(4), QStringLiteral("SPORT"));
    QCOMPARE(w.page(nav::kPageHome)->findChild<QGroupBox*>()->title(),
             QStringLiteral("The Network Type"));
    CDlgLoginRoot root(w.pack(), nullptr, nullptr);
    QStringList buttons;
    for (QAbstractButton* b : root.findChildren<QAbstractButton*>()) buttons << b->text();
    QVERIFY2(buttons.contains(QStringLiteral("Cancel")), qPrintable(buttons.join(',')));
    // The keys the pack has are still read from it.
    QCOMPARE(w.page(nav::kPageSearch)->findChild<QPushButton*>()->text(),
             QStringLiteral("Start Search"));

    // With the current packs the same places show the packs' texts.
    WindowOnFakes current("CHT.ini");
    QVERIFY(current.Start());
    CWizardDlg& c = *current.window;
    QCOMPARE(c.findChild<QMenu*>(QStringLiteral("helpMenu"))->title(), QStringLiteral("說明(&H)"));
    QCOMPARE(c.page(nav::kPageSearch)->findChild<QTreeWidget*>()->headerItem()->text(4),
             QStringLiteral("串流連接埠"));
    // A header wider than the template's column widens it.
    QTreeWidget* list = c.page(nav::kPageSearch)->findChild<QTreeWidget*>();
    QVERIFY(list->columnWidth(4) >=
            list->header()->fontMetrics().horizontalAdvance(QStringLiteral("串流連接埠")));
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::FirstImpressionsTest)
#include "first_impressions_test.moc"
