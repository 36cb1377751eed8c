#include "ui/metrics.h"

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
} // namespace

int twipsToPixelsX(int twips, const QPaintDevice* device) { return scaled(twips, dpiX(device), 1440); }
int twipsToPixelsY(int twips, const QPaintDevice* device) { return scaled(twips, dpiY(device), 1440); }
int pixelsToTwipsX(int pixels, const QPaintDevice* device) { return scaled(pixels, 1440, dpiX(device)); }

QFont windowFont() {
    QFont f;
    // Metric-compatible stand-ins first; DejaVu is always there on Debian.
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"), QStringLiteral("Arial"),
                   QStringLiteral("DejaVu Sans")});
    f.setPointSizeF(8.0);
    return f;
}

QFont titleFont() {
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Tahoma"), QStringLiteral("Verdana")});
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
