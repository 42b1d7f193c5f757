// What a screen reader or an automated walk meets: every control a user can reach on every page
// (and on the main window) answers with a name, in each shipped pack.

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QtTest>

#include "gui/support/window_fixture.h"
#include "gui/window/sub_form_collection.h"

using namespace orv;
using namespace orv::gui;
using namespace orv::gui::test;

namespace {

// The name assistive technology reads for the widget (a button's text, an edit's buddy label...).
QString AccessibleName(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  return iface != nullptr ? iface->text(QAccessible::Name) : QString();
}

// Widgets a keyboard user can land on: they take focus by Tab.
QStringList UnnamedControls(QWidget* root, int& checked) {
  QStringList unnamed;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (qobject_cast<QLabel*>(w) != nullptr) continue;
    if ((w->focusPolicy() & Qt::TabFocus) == 0 || !w->isEnabledTo(root)) continue;
    if (w->isHidden()) continue;  // hidden in the template (e.g. "Firmware Upgrade")
    ++checked;
    if (AccessibleName(w).trimmed().isEmpty())
      unnamed << QStringLiteral("%1 %2 on %3")
                     .arg(QLatin1String(w->metaObject()->className()), w->objectName(),
                          QLatin1String(root->metaObject()->className()));
  }
  return unnamed;
}

}  // namespace

class WindowAccessTest : public QObject {
  Q_OBJECT
 private slots:
  void everyReachableControlHasAName_data() {
    QTest::addColumn<QString>("pack");
    QTest::newRow("ENG") << QStringLiteral("ENG.ini");
    QTest::newRow("CHT") << QStringLiteral("CHT.ini");
  }
  void everyReachableControlHasAName() {
    QFETCH(QString, pack);
    WindowOnFakes f(pack.toStdString());
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    QStringList unnamed;
    int checked = 0;
    for (int i = 0; i < w.pageArea()->count(); ++i) unnamed << UnnamedControls(w.page(i), checked);
    QVERIFY(checked >= 50);  // the walk really met the pages' controls
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n"))));
  }
};

QTEST_MAIN(WindowAccessTest)
#include "window_access_test.moc"
