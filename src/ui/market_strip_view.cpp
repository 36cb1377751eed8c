#include "ui/market_strip_view.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace pellucar::ui {

namespace {
constexpr int kCells = 6;
constexpr int kGap = 2;
} // namespace

MarketStripView::MarketStripView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("marketStrip"));
    setAccessibleName(QStringLiteral("Every market"));
    QSizePolicy p(QSizePolicy::Preferred, QSizePolicy::Fixed);
    p.setHeightForWidth(true);
    setSizePolicy(p);
    setCursor(Qt::PointingHandCursor);
    // Every pixel is painted here, the gaps between the cells too: the
    // window behind need not paint the strip's area again with every press.
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int id = 1; id <= kCells; ++id) glances_.append(charts::marketGlance({}, id, 0, {}));
}

void MarketStripView::setGlances(const QList<charts::MarketGlance>& glances) {
    if (glances == glances_) return;
    glances_ = glances;
    refreshTips();
    update();
}

void MarketStripView::setColors(const ChartColors& colors) {
    if (colors == colors_) return;
    colors_ = colors;
    update();
}

void MarketStripView::refreshTips() {
    QStringList lines;
    for (const charts::MarketGlance& g : glances_)
        lines << (g.last.isEmpty() ? g.name : g.name + QLatin1Char(' ') + g.last + QLatin1Char(' ') + g.change);
    setAccessibleDescription(lines.join(QStringLiteral(", ")));
}

int MarketStripView::cellHeight() const {
    // A line of text, and a small chart as tall again.
    const QFontMetrics fm(font());
    return 2 * fm.height() + 4;
}

int MarketStripView::leastCellWidth() const {
    if (leastWidth_ >= 0 && font() == measuredFont_) return leastWidth_;
    measuredFont_ = font();
    const QFontMetrics fm(measuredFont_);
    QFont bold = measuredFont_;
    bold.setBold(true);
    // The longest name beside the widest price, or the widest change
    // beside a chart as wide as it.
    const int top = QFontMetrics(bold).horizontalAdvance(QStringLiteral("Soybean ")) +
                    fm.horizontalAdvance(QStringLiteral("115 31/32"));
    const int bottom = 2 * fm.horizontalAdvance(QStringLiteral("+0.05 1/4"));
    leastWidth_ = std::max(top, bottom) + 8;
    return leastWidth_;
}

int MarketStripView::columnsFor(int width) const {
    const int least = leastCellWidth();
    if (width >= kCells * least + (kCells - 1) * kGap) return kCells;
    if (width >= 3 * least + 2 * kGap) return 3;
    return 2;
}

int MarketStripView::heightForWidth(int width) const {
    const int rows = (kCells + columnsFor(width) - 1) / columnsFor(width);
    return rows * cellHeight() + (rows - 1) * kGap;
}

QSize MarketStripView::sizeHint() const {
    const int w = kCells * leastCellWidth() + (kCells - 1) * kGap;
    return {w, heightForWidth(w)};
}

QSize MarketStripView::minimumSizeHint() const {
    const int w = 2 * leastCellWidth() + kGap;
    return {w, heightForWidth(w)};
}

QRect MarketStripView::cellRect(int i) const {
    if (i < 0 || i >= kCells) return {};
    const int columns = columnsFor(width());
    const int w = (width() - (columns - 1) * kGap) / columns;
    const int h = cellHeight();
    return {(i % columns) * (w + kGap), (i / columns) * (h + kGap), w, h};
}

void MarketStripView::paintEvent(QPaintEvent*) {
    ++paints_;
    QPainter p(this);
    // The gaps show what the window behind would have shown.
    p.fillRect(rect(), palette().brush(backgroundRole()));
    const QColor back = colors_.back.isValid() ? colors_.back : palette().color(QPalette::Base);
    const QColor ink = colors_.text.isValid() ? colors_.text : palette().color(QPalette::Text);
    const QColor line = colors_.series.isValid() ? colors_.series : ink;
    const QFontMetrics fm(font());
    QFont bold = font();
    bold.setBold(true);
    for (int i = 0; i < glances_.size() && i < kCells; ++i) {
        const charts::MarketGlance& g = glances_[i];
        const QRect cell = cellRect(i);
        p.fillRect(cell, back);
        p.setPen(g.charted ? QPen(ink, 2) : QPen(ink.lighter(60), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(cell.adjusted(0, 0, -1, -1));
        const QRect text = cell.adjusted(3, 1, -3, 0);
        // The price on the name's line, the change under it; rises and falls
        // in the buy and sell inks. A cell narrower than both shortens the
        // name, never the price.
        p.setPen(ink);
        p.drawText(QRect(text.left(), text.top(), text.width(), fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   g.last);
        p.setFont(bold);
        const int nameRoom = std::max(0, text.width() - fm.horizontalAdvance(g.last) - 4);
        p.drawText(QRect(text.left(), text.top(), nameRoom, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(bold).elidedText(g.name, Qt::ElideRight, nameRoom));
        p.setFont(font());
        const QColor changeInk = colors_.singleInk || g.direction == 0 ? ink
                                 : g.direction > 0                     ? colors_.buy
                                                                       : colors_.sell;
        p.setPen(changeInk.isValid() ? changeInk : ink);
        const QRect lower(text.left(), text.top() + fm.height(), text.width(),
                          cell.bottom() - text.top() - fm.height());
        p.drawText(lower, Qt::AlignRight | Qt::AlignVCenter, g.change);
        // The small chart in the rest of the lower line.
        const int changeWidth = fm.horizontalAdvance(g.change) + 4;
        const QRectF plot(lower.left(), lower.top() + 2, lower.width() - changeWidth, lower.height() - 4);
        const qsizetype n = g.closes.size();
        if (n < 1 || plot.width() < 4) continue;
        const double span = g.high > g.low ? g.high - g.low : 1.0;
        QPainterPath path;
        bool pen = false;
        for (qsizetype k = 0; k < n; ++k) {
            const std::optional<double>& c = g.closes[k];
            if (!c) {
                pen = false;
                continue;
            }
            const double x = plot.left() + (n == 1 ? plot.width() : plot.width() * double(k) / double(n - 1));
            const double y = plot.bottom() - (*c - g.low) / span * plot.height();
            if (pen) path.lineTo(x, y);
            else path.moveTo(x, y);
            pen = true;
        }
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(line, 1.2));
        p.drawPath(path);
        p.setRenderHint(QPainter::Antialiasing, false);
    }
}

void MarketStripView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    for (int i = 0; i < kCells; ++i)
        if (cellRect(i).contains(event->position().toPoint())) {
            emit marketChosen(i);
            return;
        }
}

void MarketStripView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace pellucar::ui
