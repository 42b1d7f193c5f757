// Start-up of the main window: the order of its steps, the single-instance rule, and how the
// language pack is chosen, asked for, stored and changed.

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "core/app/navigation.h"
#include "gui/dialogs/dlg_language.h"
#include "gui/support/window_fixture.h"
#include "gui/window/real_services.h"
#include "gui/window/sub_form_collection.h"
#include "support/fake_host_network.h"

namespace orv::test {

using namespace gui;

// One window message as each shipped pack has it: proof that the texts came from that pack.
const QString kEngMessage2 = QStringLiteral(
    "The camera did not answer in time or refused the request. Ch"
    "eck that it is powered on and connected to this network, then try again.");
const QString kChtMessage2 = QString::fromUtf8(
    "攝影機沒有及時回應，或拒絕了這項要求。請確認攝影機已開啟電源並連接到這個網路，然後再試一次。");

class WindowStartupTest : public QObject {
  Q_OBJECT
 private slots:
  void startUpRunsInOrderAndShowsHome() {
    WindowOnFakes f("");
    auto net = std::make_shared<FakeHostNetwork>();
    net->adapters.push_back({7, "ppp0", AdapterType::Ppp, true});
    f.net = net;
    f.probeAnswer = true;
    f.fakes.dialogs.languageAnswers.push_back(QStringLiteral("ENG"));
    f.fakes.dialogs.onLanguage = [&f] { f.events.push_back("language"); };
    QVERIFY(f.Start());
    QCOMPARE(f.events, (std::vector<std::string>{"instance", "phone book", "probe", "language"}));
    CWizardDlg& w = *f.window;
    QCOMPARE(w.session().pcHasPpp, std::uint8_t{1});
    QCOMPARE(w.session().internetReachable, std::uint8_t{1});
    QCOMPARE(w.session().connectAllowed.load(), std::uint8_t{1});
    QCOMPARE(w.pageArea()->current(), 0);
    QVERIFY(!w.page(0)->isHidden());
    QVERIFY(f.ReadChoiceFile().find("LangFile=ENG.ini") != std::string::npos);
    QCOMPARE(w.message(2), kEngMessage2);
  }

  void aSecondCopyEndsRightAfterItsMessage() {
    WindowOnFakes f("");
    f.instanceAnswer = InstanceLock::AlreadyRunning;
    QVERIFY(!f.Start());
    QCOMPARE(f.events, std::vector<std::string>{"instance"});
    QCOMPARE(f.fakes.prompter.shown.size(), std::size_t{1});
    const MessageRequest& m = f.fakes.prompter.shown[0].request;
    QCOMPARE(m.text, QStringLiteral("Orvantis is already running"));
    QCOMPARE(m.caption, QStringLiteral("Orvantis"));
    QCOMPARE(m.icon, MessageIcon::Warning);
    QCOMPARE(f.fakes.dialogs.languageDialogs, 0);
    QVERIFY(!f.ChoiceFileExists());
  }

  void theLockFileAdmitsOneHolder() {
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QCOMPARE(QString::fromStdString(SingleInstanceLockPath("Orvantis.exe")),
             runtime.path() + QStringLiteral("/orvantis/Orvantis.exe.lock"));
    auto first = MakeSingleInstance("Orvantis.exe");
    auto second = MakeSingleInstance("Orvantis.exe");
    QCOMPARE(first->Acquire(), InstanceLock::Acquired);
    QCOMPARE(second->Acquire(), InstanceLock::AlreadyRunning);
    first.reset();
    QCOMPARE(second->Acquire(), InstanceLock::Acquired);
    QCOMPARE(MakeSingleInstance("../x")->Acquire(), InstanceLock::Unavailable);
    qputenv("XDG_RUNTIME_DIR", saved);
  }

  void aStoredPackThatIsGoneIsAskedForAgain() {
    WindowOnFakes f("XYZ.ini");
    f.fakes.dialogs.languageAnswers = {QStringLiteral("../ENG"), QStringLiteral("NOPE"),
                                       QStringLiteral("CHT")};
    QVERIFY(f.Start());
    QCOMPARE(f.fakes.dialogs.languageDialogs, 3);
    QVERIFY(f.ReadChoiceFile().find("LangFile=CHT.ini") != std::string::npos);
    QVERIFY(QString::fromStdString(f.window->langFilePath()).endsWith("Language/CHT.ini"));
  }

  void aDialogClosedWithoutOkNeverLeavesTheTextsEmpty() {
    WindowOnFakes f("");
    QVERIFY(f.Start());  // the dialog is closed every time
    QCOMPARE(f.fakes.dialogs.languageDialogs, CWizardDlg::kMaxLanguageAsks);
    QVERIFY(f.ReadChoiceFile().find("LangFile") == std::string::npos);  // asked again next time
    QVERIFY(QString::fromStdString(f.window->langFilePath()).endsWith("Language/ENG.ini"));
    QCOMPARE(f.window->message(2), kEngMessage2);
  }

  void aLanguageChangeReloadsEveryPage() {
    WindowOnFakes f("ENG.ini");
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    QCOMPARE(f.fakes.prompter.buttonTexts.yes, QStringLiteral("&Yes"));
    QStringList before;
    for (int i = 0; i < nav::kPageCount; ++i)
      before << w.page(i)->findChild<QLabel*>("titleLine")->text();
    const QString message = w.message(2);

    w.OnStep(nav::kStepLanguage);  // closed without OK: nothing changes
    QCOMPARE(w.message(2), message);
    QVERIFY(f.ReadChoiceFile().find("LangFile=ENG.ini") != std::string::npos);

    f.fakes.dialogs.languageAnswers.push_back(QStringLiteral("CHT"));
    w.OnStep(nav::kStepLanguage);
    QVERIFY(f.ReadChoiceFile().find("LangFile=CHT.ini") != std::string::npos);
    QCOMPARE(message, kEngMessage2);
    QCOMPARE(w.message(2), kChtMessage2);
    int changed = 0;
    for (int i = 0; i < nav::kPageCount; ++i)
      if (w.page(i)->findChild<QLabel*>("titleLine")->text() != before[i]) ++changed;
    QVERIFY(changed >= 10);
    // The message boxes' buttons change with the rest.
    QCOMPARE(f.fakes.prompter.buttonTexts.ok, QStringLiteral("確定"));
    QCOMPARE(f.fakes.prompter.buttonTexts.no, QStringLiteral("否(&N)"));
  }

  // The real boxes: the pack's captions on the buttons, found by their names without the
  // mnemonic; a pack without them keeps the toolkit's own; the answer follows the button.
  void theMessageBoxesButtonsSpeakThePacksLanguage() {
    QtPrompter prompter;
    MessageRequest question;
    question.text = QStringLiteral("Change the camera's address?");
    question.buttons = MessageButtons::YesNo;
    QStringList seen;
    const auto pressWhenOpen = [&seen](QMessageBox::StandardButton which) {
      QTimer::singleShot(0, [&seen, which] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        for (QAbstractButton* b : box->buttons()) seen << b->text() + "|" + b->accessibleName();
        box->button(which)->click();
      });
    };
    prompter.SetButtonTexts({QStringLiteral("確定"), QStringLiteral("取消"),
                             QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")});
    pressWhenOpen(QMessageBox::No);
    QCOMPARE(prompter.Show(nullptr, question), MessageAnswer::No);
    seen.sort();
    QCOMPARE(seen, (QStringList{QStringLiteral("否(&N)|否(N)"), QStringLiteral("是(&Y)|是(Y)")}));

    question.buttons = MessageButtons::OkCancel;
    pressWhenOpen(QMessageBox::Ok);
    seen.clear();
    QCOMPARE(prompter.Show(nullptr, question), MessageAnswer::Ok);
    seen.sort();
    QCOMPARE(seen, (QStringList{QStringLiteral("取消|取消"), QStringLiteral("確定|確定")}));

    prompter.SetButtonTexts({});
    question.buttons = MessageButtons::YesNo;
    pressWhenOpen(QMessageBox::Yes);
    seen.clear();
    QCOMPARE(prompter.Show(nullptr, question), MessageAnswer::Yes);
    QVERIFY2(seen.join(",").contains("Yes"), qPrintable(seen.join(",")));
  }

  void theLanguageDialogOffersOkOnlyForAPack() {
    WindowOnFakes f("");
    CDlgLanguage dialog(f.folder(), "ENU");
    dialog.Reload();
    QCOMPARE(dialog.combo()->count(), 2);
    QCOMPARE(dialog.combo()->currentText(), QStringLiteral("ENG"));
    QVERIFY(dialog.okButton()->isEnabled());
    for (const char* bad : {"", "  ", "XYZ", "../Language/ENG", "Language\\ENG", ".."}) {
      dialog.combo()->setEditText(QString::fromLatin1(bad));
      QVERIFY2(!dialog.okButton()->isEnabled(), bad);
      QVERIFY(!dialog.NamesPack(QString::fromLatin1(bad)));
    }
    dialog.combo()->setEditText(QStringLiteral("CHT"));
    QVERIFY(dialog.okButton()->isEnabled());
    dialog.okButton()->click();
    QCOMPARE(dialog.result(), QStringLiteral("CHT"));

    CDlgLanguage chinese(f.folder(), "CHT");
    chinese.Reload();
    QCOMPARE(chinese.combo()->currentText(), QStringLiteral("CHT"));
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::WindowStartupTest)
#include "window_startup_test.moc"
