#pragma once
// A light surface that carries its own text colours, so a dark desktop palette never leaves light
// text on it.

#include <QColor>
#include <QPalette>

namespace orv::gui {

// base with paper behind the text and dark text on it, in every colour group (an inactive window
// and disabled controls read too).
QPalette LightPalette(QPalette base, const QColor& paper);

}  // namespace orv::gui
