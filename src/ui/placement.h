#pragma once
#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace pellucar::ui {

// Where the game's windows open. Screens run from small laptop panels at
// 200 % to large desktops, so no window may open larger than the room the
// desktop leaves it, and a dialog opens over the main window it belongs to.

// The main window's first size: the design size scaled by the room the
// screen leaves (the charts take what it adds), at least the layout's
// minimum, never larger than the room.
QSize fittedMainWindowSize(QSize design, QSize minimum, QSize room);

// A window of `size` (its frame `frame` outside it) centred on `anchor` (a
// frame rectangle; an empty one centres on the room) and moved, and if need
// be shrunk, to lie wholly inside `room`. Returns the window's inner
// geometry.
QRect placedWithin(QSize size, QMargins frame, const QRect& anchor, const QRect& room);

// The desktop's available room on the screen `w` is on (or the primary one).
QRect availableRoom(const QWidget* w);
// The frame a desktop puts round a top-level window, before it has one.
QMargins expectedFrame(const QWidget* w);

// Sizes `window` to its content, then fits and centres it on `anchor`'s
// window within the available room of that screen.
void placeDialog(QWidget* window, const QWidget* anchor);

} // namespace pellucar::ui
