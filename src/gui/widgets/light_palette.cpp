#include "gui/widgets/light_palette.h"

namespace orv::gui {

QPalette LightPalette(QPalette base, const QColor& paper) {
  const QColor ink(Qt::black);
  const QColor greyInk(0x5f, 0x5f, 0x5f);  // disabled text, still at least 4.5:1 on white
  const QColor button(0xf0, 0xf0, 0xf0);
  for (const QPalette::ColorGroup group :
       {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const QColor& text = group == QPalette::Disabled ? greyInk : ink;
    base.setColor(group, QPalette::Window, paper);
    base.setColor(group, QPalette::Base, paper);
    base.setColor(group, QPalette::AlternateBase, button);
    base.setColor(group, QPalette::Button, button);
    base.setColor(group, QPalette::WindowText, text);
    base.setColor(group, QPalette::Text, text);
    base.setColor(group, QPalette::ButtonText, text);
    base.setColor(group, QPalette::PlaceholderText, greyInk);
    base.setColor(group, QPalette::Light, paper);
    base.setColor(group, QPalette::Midlight, QColor(0xe3, 0xe3, 0xe3));
    base.setColor(group, QPalette::Mid, QColor(0xa0, 0xa0, 0xa0));
    base.setColor(group, QPalette::Dark, QColor(0x80, 0x80, 0x80));
    base.setColor(group, QPalette::Shadow, QColor(0x40, 0x40, 0x40));
  }
  return base;
}

}  // namespace orv::gui
