#include "ui/look.h"

#include "ui/metrics.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>

namespace pellucar::ui {

namespace {

// An icon of the base style, read from its files when it is first drawn or
// measured rather than when it is asked for.
class LaterIcon : public QIconEngine {
public:
    LaterIcon(QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    // Asked of the icon as its button is made; the style's own is never empty.
    bool isNull() override { return style_.isNull(); }
    QIconEngine* clone() const override { return new LaterIcon(*this); }

private:
    const QIcon& icon() {
        if (!read_ && style_) icon_ = style_->standardIcon(which_);
        read_ = true;
        return icon_;
    }
    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    QIcon icon_;
    bool read_ = false;
};

class GameStyle : public QProxyStyle {
public:
    GameStyle() : QProxyStyle(newBaseStyle()) {}

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
        // Every menu bar makes the button it shows when its menus do not
        // fit, and that button's icon is decoded from three image files as
        // the bar is made, before the window's first paint; the game's menus
        // fit on any screen it opens on.
        if (which == SP_ToolBarHorizontalExtensionButton) return QIcon(new LaterIcon(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

} // namespace

QStyle* newBaseStyle() { return QStyleFactory::create(QStringLiteral("Fusion")); }

QFont desktopFont() { return QFontDatabase::systemFont(QFontDatabase::GeneralFont); }

void setUpLook() {
    QApplication::setStyle(new GameStyle);
    // A text box lays out its first text in the application's font as it is
    // made, before it takes its window's: with the window font everywhere,
    // that font is the one the window loads anyway.
    QApplication::setFont(windowFont());
}

} // namespace pellucar::ui
