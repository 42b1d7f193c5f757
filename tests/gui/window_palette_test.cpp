// A dark desktop theme: every page, prepared and shown, keeps its texts readable against its own
// background (WCAG contrast of at least 4.5 for every visible label, radio button and check box).

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QtTest>
#include <cmath>

#include "core/app/navigation.h"
#include "gui/dialogs/dlg_login_root.h"
#include "gui/support/dark_palette.h"
#include "gui/support/window_fixture.h"
#include "gui/window/sub_form_collection.h"

namespace orv::test {

using namespace gui;

namespace {

double Channel(int value) {
  const double c = value / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& color) {
  const QColor rgb = color.toRgb();
  return 0.2126 * Channel(rgb.red()) + 0.7152 * Channel(rgb.green()) + 0.0722 * Channel(rgb.blue());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What is painted behind the widget: the nearest widget, itself included, that fills its
// background, else the top window's.
QColor BackgroundOf(QWidget* w) {
  for (QWidget* p = w; p != nullptr; p = p->parentWidget()) {
    if (p->autoFillBackground() || p->isWindow())
      return p->palette().color(p->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                p->backgroundRole());
  }
  return Qt::white;
}

QColor TextOf(QWidget* w) {
  return w->palette().color(w->isEnabled() ? QPalette::Active : QPalette::Disabled,
                            w->foregroundRole());
}

QString TextShown(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  return {};
}

}  // namespace

class WindowPaletteTest : public QObject {
  Q_OBJECT
 private slots:
  void everyPageIsReadableUnderADarkPalette() {
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    {
      WindowOnFakes f;
      QVERIFY(f.Start());
      CWizardDlg& w = *f.window;
      // A record that makes the pages show what they can: a capable wireless camera.
      SessionRecord& s = w.session();
      s.extendedCgi = 1;
      s.sys.wirelessCapable = 1;
      s.sys.wpsCapable = 1;
      s.linkWireless = 1;
      s.net.IPType = 1;
      s.apCount = 1;
      w.show();
      QStringList unreadable;
      int checked = 0;
      for (int i = 0; i < w.pageArea()->count(); ++i) {
        CSubPage* page = w.page(i);
        page->Prepare();
        w.pageArea()->ShowPage(i);
        QCoreApplication::processEvents();
        // ORVANTIS_SHOTS=DIR keeps a picture of each page, to look at by eye.
        if (const QString shots = qEnvironmentVariable("ORVANTIS_SHOTS"); !shots.isEmpty())
          w.grab().save(QStringLiteral("%1/dark-%2.png")
                            .arg(shots, QString::fromLatin1(page->metaObject()->className())
                                            .section(QStringLiteral("::"), -1)));
        QList<QWidget*> texts;
        for (QWidget* child : page->findChildren<QWidget*>()) {
          if (qobject_cast<QLabel*>(child) != nullptr || qobject_cast<QRadioButton*>(child) ||
              qobject_cast<QCheckBox*>(child))
            texts.append(child);
        }
        for (QWidget* t : texts) {
          if (!t->isVisible() || TextShown(t).trimmed().isEmpty()) continue;
          ++checked;
          const double ratio = Contrast(TextOf(t), BackgroundOf(t));
          if (ratio < 4.5)
            unreadable << QStringLiteral("%1 %2 \"%3\" on page %4: %5")
                              .arg(QLatin1String(t->metaObject()->className()), t->objectName(),
                                   TextShown(t).left(30), QString::number(i))
                              .arg(ratio, 0, 'f', 2);
        }
        page->NotifyLeft();
      }
      // The walk met the pages' texts (the home page alone has several).
      QVERIFY2(checked >= 20, qPrintable(QString::number(checked)));
      QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(QStringLiteral("\n"))));
    }
    QApplication::setPalette(saved);
  }

  // The root login dialog paints its own light background too, so it carries dark text with it.
  void theRootLoginDialogIsReadableUnderADarkPalette() {
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    {
      WindowOnFakes f;
      QVERIFY(f.Start());
      CDlgLoginRoot dialog(f.window->pack(), &f.fakes.prompter, f.window.get());
      dialog.show();
      QCoreApplication::processEvents();
      if (const QString shots = qEnvironmentVariable("ORVANTIS_SHOTS"); !shots.isEmpty())
        dialog.grab().save(shots + QStringLiteral("/dark-CDlgLoginRoot.png"));
      QStringList unreadable;
      int checked = 0;
      for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisible() || TextShown(label).trimmed().isEmpty()) continue;
        ++checked;
        const double ratio = Contrast(TextOf(label), BackgroundOf(label));
        if (ratio < 4.5) unreadable << TextShown(label) + QStringLiteral(": %1").arg(ratio);
      }
      QVERIFY(checked >= 2);
      QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(QLatin1Char('\n'))));
    }
    QApplication::setPalette(saved);
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::WindowPaletteTest)
#include "window_palette_test.moc"
