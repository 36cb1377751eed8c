#pragma once

#include <QFont>

class QStyle;

namespace pellucar::ui {

// The look of every window the game opens, set once after the application
// object is made and before the first window: one style on every desktop,
// so the colour schemes read the same, and the window font for all of them,
// popup menus and messages too, as the game's own windows have it.
void setUpLook();

// The desktop's own font, which the application had before the look: the
// help's reading text and the review's charts keep it.
QFont desktopFont();

// A new instance of the style the look is built on, for a widget that draws
// some of its pieces its own way.
QStyle* newBaseStyle();

} // namespace pellucar::ui
