#include "ui/placement.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace pellucar::ui {

namespace {
// The share of the screen a window takes at most when it grows with it:
// room is left for the desktop's panels and other windows.
constexpr double kUseOfRoom = 0.95;
} // namespace

QSize fittedMainWindowSize(QSize design, QSize minimum, QSize room) {
    if (design.isEmpty() || room.isEmpty()) return design.boundedTo(room);
    const double scale =
        std::min(double(room.width()) / design.width(), double(room.height()) / design.height()) * kUseOfRoom;
    const QSize scaled(int(design.width() * scale), int(design.height() * scale));
    return scaled.expandedTo(minimum).boundedTo(room);
}

QRect placedWithin(QSize size, QMargins frame, const QRect& anchor, const QRect& room) {
    const QSize inner = room.marginsRemoved(frame).size();
    const QSize fitted = size.boundedTo(inner).expandedTo(QSize(1, 1));
    QRect outer(QPoint(0, 0), fitted.grownBy(frame));
    outer.moveCenter(anchor.isEmpty() ? room.center() : anchor.center());
    // Inside the room, the top-left corner (with the title bar) first.
    outer.moveLeft(std::max(room.left(), std::min(outer.left(), room.right() - outer.width() + 1)));
    outer.moveTop(std::max(room.top(), std::min(outer.top(), room.bottom() - outer.height() + 1)));
    return outer.marginsRemoved(frame);
}

QRect availableRoom(const QWidget* w) {
    const QScreen* s = w ? w->screen() : nullptr;
    if (!s) s = QApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

QMargins expectedFrame(const QWidget* w) {
    // A window that has been shown knows its frame; before that the title
    // bar is the style's guess and the borders are thin.
    if (w && w->isVisible()) {
        const QRect f = w->frameGeometry(), g = w->geometry();
        return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
    }
    const QStyle* style = w ? w->style() : QApplication::style();
    const int title = style ? style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w) : 24;
    return {2, title, 2, 2};
}

void placeDialog(QWidget* window, const QWidget* anchor) {
    if (!window) return;
    window->ensurePolished();
    if (!window->testAttribute(Qt::WA_Resized)) window->adjustSize();
    const QWidget* over = anchor ? anchor->window() : nullptr;
    const QRect room = availableRoom(over ? over : window);
    const QRect anchorRect = over && over->isVisible() ? over->frameGeometry() : QRect();
    const QRect g = placedWithin(window->size(), expectedFrame(window), anchorRect, room);
    window->resize(g.size());
    // The frame's corner: what move() places.
    window->move(g.topLeft() - QPoint(expectedFrame(window).left(), expectedFrame(window).top()));
}

} // namespace pellucar::ui
