// What a screen reader or an automated walk meets: every control a user can reach on every page
// (and on the main window) answers with a name, in each shipped pack.

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QSet>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>

#include "core/i18n/text_keys.h"
#include "gui/frame/pack_text.h"
#include "gui/support/window_fixture.h"
#include "gui/window/sub_form_collection.h"

namespace orv::test {

using namespace gui;

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

// The names a screen reader reads on the page, in creation order: each shown widget's accessible
// name (a button's caption when none was set) and every list header, hidden columns included.
// Values (a combo box's current item, a label's text) are data, not names.
QStringList SpokenNames(QWidget* root) {
  QStringList names;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (w->isHidden()) continue;
    QString name = w->accessibleName();
    if (auto* button = qobject_cast<QAbstractButton*>(w); button != nullptr && name.isEmpty())
      name = button->text();
    names << name;
    if (auto* tree = qobject_cast<QTreeWidget*>(w))
      for (int c = 0; c < tree->columnCount(); ++c) names << tree->headerItem()->text(c);
  }
  return names;
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

  // In the Chinese window nothing is read out in the templates' English: a text the same as in the
  // English window must be one the Chinese pack itself gives (such as "SSID").
  void theChineseWindowSpeaksNoTemplateEnglish() {
    WindowOnFakes eng("ENG.ini");
    WindowOnFakes cht("CHT.ini");
    QVERIFY(eng.Start());
    QVERIFY(cht.Start());
    QSet<QString> chinesePack;
    for (const i18n::TextKey& k : i18n::kTextKeys)
      chinesePack << PackText(cht.window->pack(), k.section, k.key);
    QStringList leftovers;
    for (int i = 0; i < eng.window->pageArea()->count(); ++i) {
      const QStringList english = SpokenNames(eng.window->page(i));
      const QStringList chinese = SpokenNames(cht.window->page(i));
      QCOMPARE(chinese.size(), english.size());
      for (int t = 0; t < chinese.size(); ++t) {
        const QString& text = chinese[t];
        if (text.trimmed().isEmpty() || text != english[t] || chinesePack.contains(text)) continue;
        const bool latin = std::any_of(text.begin(), text.end(),
                                       [](QChar c) { return c.unicode() < 128 && c.isLetter(); });
        if (!latin) continue;
        leftovers << QStringLiteral("%1: %2").arg(
            QLatin1String(cht.window->page(i)->metaObject()->className()), text);
      }
    }
    QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(QStringLiteral("\n"))));
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::WindowAccessTest)
#include "window_access_test.moc"
