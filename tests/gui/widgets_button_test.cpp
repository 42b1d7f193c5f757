// The themed button: its looks in each state, the grey icon of a disabled button, and its name.

#include <QPainter>
#include <QStyleOptionButton>
#include <QtTest>
#include <algorithm>

#include "gui/widgets/xbutton_xp.h"

namespace orv::test {

using namespace gui;

namespace {

// The columns of every pixel of exactly that colour (alpha ignored).
QList<int> ColumnsOf(const QImage& image, QRgb colour) {
  QList<int> columns;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      if ((rgb.pixel(x, y) & 0xffffff) == (colour & 0xffffff)) columns << x;
  return columns;
}

// The box around the pixels whose colour leans clearly to one channel: the caption's ink when the
// caption is painted in a pure red or blue (the bevel's greys never lean).
QRect InkOf(const QImage& image, bool blue) {
  QRect box;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb p = rgb.pixel(x, y);
      const int lean =
          blue ? qBlue(p) - std::max(qRed(p), qGreen(p)) : qRed(p) - std::max(qGreen(p), qBlue(p));
      if (lean > 80) box |= QRect(x, y, 1, 1);
    }
  return box;
}

}  // namespace

class ButtonTest : public QObject {
  Q_OBJECT
 private slots:
  void looksFollowTheButtonsState() {
    QWidget parent;
    CXButtonXP button(QStringLiteral("Next"), &parent);
    CXButtonXP other(QStringLiteral("Back"), &parent);
    // The caption red while enabled, blue while disabled, so the looks can be told by their ink.
    QPalette palette = button.palette();
    palette.setColor(QPalette::Active, QPalette::ButtonText, Qt::red);
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::red);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, Qt::blue);
    button.setPalette(palette);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    other.setFocus();
    QCOMPARE(button.look(), CXButtonXP::Look::Normal);
    const QImage normal = button.grab().toImage();
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(&button, &enter);
    QVERIFY(button.hot());
    QCOMPARE(button.look(), CXButtonXP::Look::Hot);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(button.look(), CXButtonXP::Look::Normal);
    button.setDefault(true);
    QCOMPARE(button.look(), CXButtonXP::Look::Default);
    button.setDown(true);
    QCOMPARE(button.look(), CXButtonXP::Look::Pressed);
    const QImage pressed = button.grab().toImage();
    button.setDown(false);
    button.SetToggleMode(true);
    button.setChecked(true);
    QCOMPARE(button.look(), CXButtonXP::Look::Pressed);
    button.setChecked(false);
    QApplication::sendEvent(&button, &enter);
    button.setEnabled(false);
    QVERIFY(!button.hot());
    QCOMPARE(button.look(), CXButtonXP::Look::Disabled);
    // The looks show. A pressed button: a sunken bevel, its caption moved by the style's shift.
    // A disabled one: its caption in the palette's disabled colour, nothing in the enabled one.
    const QImage disabled = button.grab().toImage();
    QCOMPARE(pressed.size(), normal.size());
    QVERIFY(pressed != normal);
    const QRect ink = InkOf(normal, false);
    QVERIFY(!ink.isEmpty());
    QVERIFY(InkOf(normal, true).isEmpty());
    QStyleOptionButton option;
    option.initFrom(&button);
    const QPoint shift(button.style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option),
                       button.style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option));
    QCOMPARE(InkOf(pressed, false), ink.translated(shift));
    QVERIFY(InkOf(disabled, false).isEmpty());
    QCOMPARE(InkOf(disabled, true), ink);
  }

  void greyCopyAveragesTheColoursAndKeepsAlpha() {
    QImage image(4, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(30, 60, 90, 200));
    image.setPixel(1, 0, qRgba(255, 255, 255, 255));
    image.setPixel(2, 0, qRgba(0, 0, 0, 0));
    image.setPixel(3, 0, qRgba(10, 11, 13, 0));
    const QImage grey = CXButtonXP::GreyImage(image);
    QCOMPARE(grey.pixel(0, 0), qRgba(60, 60, 60, 200));
    QCOMPARE(grey.pixel(1, 0), qRgba(254, 254, 254, 255));  // stays visible on white
    QCOMPARE(grey.pixel(2, 0), qRgba(0, 0, 0, 0));
    QCOMPARE(qAlpha(grey.pixel(3, 0)), 0);
  }

  void iconSideAndNameFollowTheSetters() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    CXButtonXP button;
    const QSize plain = button.sizeHint();
    button.SetIcon(QIcon(pixmap), CXButtonXP::IconSide::Right);
    QVERIFY(!button.greyIcon().isNull());
    QVERIFY(button.sizeHint().width() > plain.width());
    const QImage greyPixel = button.greyIcon().pixmap(16, 16).toImage();
    QCOMPARE(qRed(greyPixel.pixel(8, 8)), 85);
    button.SetText(QStringLiteral("Finish"));
    QCOMPARE(button.accessibleName(), QStringLiteral("Finish"));
    button.resize(button.sizeHint());
    // Enabled, the red icon is painted in the right half; disabled, its grey copy is painted
    // there instead and no red is left.
    const QImage enabled = button.grab().toImage();
    const QList<int> red = ColumnsOf(enabled, qRgb(255, 0, 0));
    QVERIFY(red.size() >= 64);
    QVERIFY(*std::min_element(red.begin(), red.end()) > enabled.width() / 2);
    button.setEnabled(false);
    const QImage disabled = button.grab().toImage();
    QVERIFY(ColumnsOf(disabled, qRgb(255, 0, 0)).isEmpty());
    const QList<int> grey = ColumnsOf(disabled, qRgb(85, 85, 85));
    QVERIFY(grey.size() >= 64);
    QVERIFY(*std::min_element(grey.begin(), grey.end()) > disabled.width() / 2);
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::ButtonTest)
#include "widgets_button_test.moc"
