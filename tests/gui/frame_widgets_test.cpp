// The themed button: its looks in each state, the grey icon of a disabled button, and its name.

#include <QPainter>
#include <QtTest>

#include "gui/widgets/xbutton_xp.h"

using namespace orv::gui;

class FrameWidgetsTest : public QObject {
  Q_OBJECT
 private slots:
  void looksFollowTheButtonsState() {
    QWidget parent;
    CXButtonXP button(QStringLiteral("Next"), &parent);
    CXButtonXP other(QStringLiteral("Back"), &parent);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    other.setFocus();
    QCOMPARE(button.look(), CXButtonXP::Look::Normal);
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
    button.setDown(false);
    button.SetToggleMode(true);
    button.setChecked(true);
    QCOMPARE(button.look(), CXButtonXP::Look::Pressed);
    button.setChecked(false);
    QApplication::sendEvent(&button, &enter);
    button.setEnabled(false);
    QVERIFY(!button.hot());
    QCOMPARE(button.look(), CXButtonXP::Look::Disabled);
    // Every look paints without trouble.
    QVERIFY(!button.grab().isNull());
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
    QCOMPARE(button.iconSide(), CXButtonXP::IconSide::Right);
    QVERIFY(!button.greyIcon().isNull());
    QVERIFY(button.sizeHint().width() > plain.width());
    const QImage greyPixel = button.greyIcon().pixmap(16, 16).toImage();
    QCOMPARE(qRed(greyPixel.pixel(8, 8)), 85);
    button.SetText(QStringLiteral("Finish"));
    QCOMPARE(button.accessibleName(), QStringLiteral("Finish"));
    button.setEnabled(false);
    QVERIFY(!button.grab().isNull());
  }
};

QTEST_MAIN(FrameWidgetsTest)
#include "frame_widgets_test.moc"
