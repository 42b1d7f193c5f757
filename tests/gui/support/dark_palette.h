#pragma once
// A dark palette such as a desktop's dark theme gives: light text on dark grounds. For checking
// that every page stays readable under it (the palette test, and the walk driver's
// ORVANTIS_WALK_PALETTE=dark for pictures).

#include <QColor>
#include <QPalette>

namespace orv::test {

inline QPalette DarkPalette() {
  QPalette dark;
  const QColor window(0x2b, 0x2b, 0x2b);
  const QColor light(0xee, 0xee, 0xee);
  for (const QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    dark.setColor(g, QPalette::Window, window);
    dark.setColor(g, QPalette::WindowText, light);
    dark.setColor(g, QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(g, QPalette::AlternateBase, window);
    dark.setColor(g, QPalette::Text, light);
    dark.setColor(g, QPalette::Button, QColor(0x3c, 0x3c, 0x3c));
    dark.setColor(g, QPalette::ButtonText, light);
    dark.setColor(g, QPalette::BrightText, Qt::white);
    dark.setColor(g, QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
  }
  dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xa0, 0xa0, 0xa0));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0xa0, 0xa0, 0xa0));
  return dark;
}

}  // namespace orv::test
