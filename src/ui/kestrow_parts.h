#pragma once
// Helpers the main window's source files share: they size and keep the
// desk's widgets the same way wherever a part of the window is made.
#include <QFont>
#include <QFontMetricsF>
#include <QSizePolicy>
#include <QWidget>
#include <QtMath>

namespace pellucar::ui {

// The whole pixels of one line of text in a font, as a text's box has them:
// the font's ascent and descent, whatever the letters.
inline int lineHeight(const QFont& font) {
    const QFontMetricsF metrics(font);
    return qCeil(metrics.ascent() + metrics.descent());
}

inline void retainSpace(QWidget* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

} // namespace pellucar::ui
