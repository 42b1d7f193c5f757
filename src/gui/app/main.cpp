// The desktop program. For now one top-level window titled "Orvantis"; the pages come later.

#include <QApplication>
#include <QWidget>

#include "core/platform/codepage.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  orv::InitSystemCodePage();
  QWidget window;
  window.setWindowTitle(QStringLiteral("Orvantis"));
  window.resize(640, 480);
  window.show();
  return app.exec();
}
