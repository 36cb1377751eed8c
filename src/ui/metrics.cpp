#include "ui/metrics.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QStringList>
#include <QWidget>

namespace pellucar::ui {

namespace {
int scaled(int value, int numerator, int denominator) {
    return static_cast<int>((static_cast<long long>(value) * numerator + denominator / 2) / denominator);
}
int dpiX(const QPaintDevice* d) { return d && d->logicalDpiX() > 0 ? d->logicalDpiX() : 96; }
int dpiY(const QPaintDevice* d) { return d && d->logicalDpiY() > 0 ? d->logicalDpiY() : 96; }

// The first of `families` this machine has, as a font given the whole list
// would choose; the last when it has none, for the font system to stand in
// for. A font of one family loads just that face; given a list, each size of
// it also has the font system rank every installed font as its fallbacks,
// which a window of plain Latin text never draws from.
QString firstInstalled(const QStringList& families) {
    // The database's list, not hasFamily(), which runs each name through
    // the font system's substitution rules. A family two foundries make is
    // listed once for each, as "Name [Foundry]".
    QStringList installed = QFontDatabase::families();
    for (QString& name : installed)
        if (const qsizetype bracket = name.indexOf(QLatin1String(" [")); bracket > 0) name.truncate(bracket);
    for (const QString& family : families)
        if (installed.contains(family, Qt::CaseInsensitive)) return family;
    return families.last();
}
} // namespace

int twipsToPixelsX(int twips, const QPaintDevice* device) { return scaled(twips, dpiX(device), 1440); }
int twipsToPixelsY(int twips, const QPaintDevice* device) { return scaled(twips, dpiY(device), 1440); }
int pixelsToTwipsX(int pixels, const QPaintDevice* device) { return scaled(pixels, 1440, dpiX(device)); }

QFont windowFont() {
    // Metric-compatible stand-ins first; DejaVu is always there on Debian.
    static const QString family = firstInstalled({QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                                                  QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    QFont f(family);
    f.setPointSizeF(8.0);
    return f;
}

QFont titleFont() {
    static const QString family =
        firstInstalled({QStringLiteral("DejaVu Sans"), QStringLiteral("Tahoma"), QStringLiteral("Verdana")});
    QFont f(family);
    f.setPointSizeF(14.0);
    f.setBold(true);
    return f;
}

int textWidthTwips(const QWidget* widget, const QString& text) {
    const QFontMetrics fm(widget ? widget->font() : windowFont());
    int widest = 0;
    for (const QString& line : displayText(text).split(QLatin1Char('\n')))
        widest = qMax(widest, fm.horizontalAdvance(line));
    return pixelsToTwipsX(widest, widget);
}

QString displayText(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

} // namespace pellucar::ui
