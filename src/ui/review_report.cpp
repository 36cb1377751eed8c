#include "ui/review_report.h"

#include "common/format.h"
#include "common/outside_files.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace pellucar::ui {

namespace {

QString money(double v) { return QStringLiteral("$") + formatStandard(v); }

// Lays out text and charts down the pages: a block that does not fit on
// what is left of a page starts the next one.
class Pages {
public:
    Pages(QPdfWriter& pdf, QPainter& p) : pdf_(pdf), p_(p) {
        area_ = QRectF(p.viewport()).adjusted(0, 0, 0, -footer());
        y_ = area_.top();
        footerLine();
    }

    double width() const { return area_.width(); }
    double left() const { return area_.left(); }
    double y() const { return y_; }
    QPainter& painter() { return p_; }

    // Room for `height` below, or a new page.
    void need(double height) {
        if (y_ + height <= area_.bottom() || y_ == area_.top()) return;
        pdf_.newPage();
        ++page_;
        y_ = area_.top();
        footerLine();
    }
    void skip(double height) { y_ += height; }

    // A paragraph at `size` points, wrapped to the width less `indent`.
    void text(const QString& s, double size = 10, bool bold = false, double indent = 0) {
        QFont f = font(size, bold);
        p_.setFont(f);
        const QRectF box(left() + indent, 0, width() - indent, 1e6);
        const QRectF used = p_.boundingRect(box, Qt::TextWordWrap, s);
        need(used.height());
        p_.drawText(QRectF(box.left(), y_, box.width(), used.height()), Qt::TextWordWrap, s);
        y_ += used.height();
    }

    // Caption and value lines in two columns, the captions' at least
    // `captionWidth` wide and as wide as the longest caption.
    void table(const std::vector<ReviewLine>& lines, double captionWidth) {
        const QFontMetricsF bold(font(10, true), p_.device());
        for (const ReviewLine& l : lines) captionWidth = std::max(captionWidth, bold.horizontalAdvance(l.caption) + 12);
        p_.setFont(font(10, false));
        for (const ReviewLine& l : lines) {
            const QRectF value(left() + captionWidth, 0, width() - captionWidth, 1e6);
            const double h = p_.boundingRect(value, Qt::TextWordWrap, l.value).height();
            need(h);
            p_.setFont(font(10, true));
            p_.drawText(QRectF(left(), y_, captionWidth, h), Qt::AlignLeft | Qt::AlignTop, l.caption);
            p_.setFont(font(10, false));
            p_.drawText(QRectF(value.left(), y_, value.width(), h), Qt::TextWordWrap, l.value);
            y_ += h;
        }
    }

    QFont font(double size, bool bold) const {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(size);
        f.setBold(bold);
        return f;
    }

private:
    double footer() const { return QFontMetricsF(font(8, false), &pdf_).height() * 2; }
    void footerLine() {
        const QRectF page(p_.viewport());
        p_.setFont(font(8, false));
        p_.drawText(QRectF(page.left(), page.bottom() - footer() / 2, page.width(), footer() / 2),
                    Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Pellucar game review, page %1").arg(page_));
    }

    QPdfWriter& pdf_;
    QPainter& p_;
    QRectF area_;
    double y_ = 0;
    int page_ = 1;
};

// A line of `values` (by period `from` onwards) in `box`, with a frame, the
// lowest and highest values written at the left, and the given points
// marked: filled for an entry, hollow for an exit.
struct Mark {
    int period;
    double value;
    bool filled;
};
void lineChart(QPainter& p, const QRectF& box, int from, const std::vector<double>& values,
               const std::vector<Mark>& marks, const std::function<QString(double)>& label) {
    if (values.empty()) return;
    double lo = *std::min_element(values.begin(), values.end()), hi = *std::max_element(values.begin(), values.end());
    for (const Mark& m : marks) {
        lo = std::min(lo, m.value);
        hi = std::max(hi, m.value);
    }
    if (hi - lo < 1e-9) {
        lo -= 1;
        hi += 1;
    }
    const double labels = QFontMetricsF(p.font(), p.device()).horizontalAdvance(label(hi) + QStringLiteral("MM"));
    const QRectF plot = box.adjusted(
        std::max(labels, QFontMetricsF(p.font(), p.device()).horizontalAdvance(label(lo)) + 12.0), 4, -4, -4);
    const int last = from + static_cast<int>(values.size()) - 1;
    const auto at = [&](double period, double v) {
        const double x =
            last == from ? plot.center().x() : plot.left() + (period - from) / (last - from) * plot.width();
        return QPointF(x, plot.bottom() - (v - lo) / (hi - lo) * plot.height());
    };
    p.save();
    p.setPen(QPen(Qt::gray, 0.5));
    p.drawRect(plot);
    p.setPen(Qt::black);
    p.drawText(QRectF(box.left(), plot.top() - 6, plot.left() - box.left() - 4, 12), Qt::AlignRight | Qt::AlignVCenter,
               label(hi));
    p.drawText(QRectF(box.left(), plot.bottom() - 6, plot.left() - box.left() - 4, 12),
               Qt::AlignRight | Qt::AlignVCenter, label(lo));
    QPainterPath path(at(from, values[0]));
    for (size_t i = 1; i < values.size(); ++i) path.lineTo(at(from + static_cast<double>(i), values[i]));
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    for (const Mark& m : marks) {
        p.setBrush(m.filled ? QBrush(Qt::black) : QBrush(Qt::white));
        const QPointF c = at(m.period, m.value);
        if (m.filled) p.drawEllipse(c, 3.5, 3.5);
        else p.drawRect(QRectF(c.x() - 3.5, c.y() - 3.5, 7, 7));
    }
    p.restore();
}

QString periodText(const ReviewRecord& r, int period) {
    return period >= 1 && period <= static_cast<int>(r.periods.size())
               ? reviewPeriodText(r.periods[static_cast<size_t>(period - 1)])
               : QStringLiteral("period %1").arg(period);
}

void identity(Pages& pages, const ReviewRecord& r) {
    pages.text(r.scenario.isEmpty() ? QStringLiteral("Game Review") : QStringLiteral("Game Review: ") + r.scenario, 18,
               true);
    pages.skip(6);
    pages.table(reviewIdentity(r), 110);
    pages.skip(12);
}

void equity(Pages& pages, const ReviewRecord& r, const ReviewFigures& f) {
    pages.text(QStringLiteral("Account Value"), 13, true);
    pages.need(220);
    pages.painter().setFont(pages.font(8, false));
    lineChart(pages.painter(), QRectF(pages.left(), pages.y() + 4, pages.width(), 200), 1, f.equity, {},
              [](double v) { return money(v); });
    pages.skip(206);
    pages.text(
        QStringLiteral("Periods 1 to %1; starting capital %2.").arg(f.equity.size()).arg(money(r.startingCapital)), 8);
    pages.skip(12);
}

void openPositions(Pages& pages, const ReviewRecord& r, const ReviewFigures& f) {
    pages.text(QStringLiteral("Open at the End"), 13, true);
    pages.skip(4);
    std::vector<ReviewLine> lines;
    for (const MarketReview& m : f.markets) {
        if (m.openContracts == 0) continue;
        const double last = r.periods.back().prices[static_cast<size_t>(index(m.market))];
        lines.push_back({marketName(m.market), QStringLiteral("%1 %2 at %3, last %4: unrealized %5")
                                                   .arg(m.openContracts > 0 ? "Long" : "Short")
                                                   .arg(std::fabs(m.openContracts), 0, 'f', 0)
                                                   .arg(marketPriceText(m.market, m.openAverage),
                                                        marketPriceText(m.market, last), money(m.unrealized))});
    }
    if (lines.empty()) pages.text(QStringLiteral("No positions were open at the end."));
    else {
        pages.table(lines, 110);
        pages.text(QStringLiteral("Unrealized in all: %1").arg(money(f.unrealized)), 10, true);
    }
    pages.skip(12);
}

void trips(Pages& pages, const ReviewRecord& r, const ReviewFigures& f) {
    pages.text(QStringLiteral("Round Trips"), 13, true);
    pages.skip(4);
    if (f.trips.empty()) pages.text(QStringLiteral("No round trips were closed."));
    const double chartWidth = pages.width() * 0.42, height = 96;
    int n = 0;
    for (const RoundTrip& t : f.trips) {
        ++n;
        pages.need(height + 8);
        const double top = pages.y();
        QString text = QStringLiteral("%1. %2 %3 %4\nIn: %5 at %6 (trade %7)\nOut: %8 at %9 (trade %10)\n"
                                      "%11 periods held, P(L) %12")
                           .arg(n)
                           .arg(tripDirection(t), QString::number(t.contracts, 'f', 0), marketName(t.market),
                                periodText(r, t.entryPeriod), marketPriceText(t.market, t.entryPrice))
                           .arg(t.entryTrade)
                           .arg(periodText(r, t.exitPeriod), marketPriceText(t.market, t.exitPrice))
                           .arg(t.exitTrade)
                           .arg(t.periodsHeld())
                           .arg(money(t.pl));
        for (int trade : {t.entryTrade, t.exitTrade})
            if (const QString note = r.notes.value(trade); !note.isEmpty())
                text += QStringLiteral("\nNote on trade %1: %2").arg(trade).arg(note);
        QPainter& p = pages.painter();
        p.setFont(pages.font(9, false));
        const QRectF textBox(pages.left(), top, pages.width() - chartWidth - 12, 1e6);
        const double textHeight = p.boundingRect(textBox, Qt::TextWordWrap, text).height();
        p.drawText(QRectF(textBox.left(), top, textBox.width(), textHeight), Qt::TextWordWrap, text);
        // The market a few periods either side of the trip.
        const int count = static_cast<int>(r.periods.size());
        const int from = std::max(1, t.entryPeriod - 3),
                  to = std::min(count, std::max(t.exitPeriod, t.entryPeriod) + 3);
        std::vector<double> prices;
        for (int q = from; q <= to; ++q)
            prices.push_back(r.periods[static_cast<size_t>(q - 1)].prices[static_cast<size_t>(index(t.market))]);
        p.setFont(pages.font(7, false));
        lineChart(
            p, QRectF(pages.left() + pages.width() - chartWidth, top, chartWidth, height), from, prices,
            {{std::max(t.entryPeriod, from), t.entryPrice, true}, {std::max(t.exitPeriod, from), t.exitPrice, false}},
            [m = t.market](double v) { return marketPriceText(m, v); });
        pages.skip(std::max(textHeight, height) + 10);
    }
    pages.skip(8);
}

void journal(Pages& pages, const ReviewRecord& r) {
    pages.text(QStringLiteral("Journal"), 13, true);
    pages.skip(4);
    if (r.notes.isEmpty()) pages.text(QStringLiteral("No trade was noted."));
    for (auto it = r.notes.begin(); it != r.notes.end(); ++it) {
        if (it.key() < 1 || it.key() > r.trades.size()) continue;
        const TradeRecord& t = r.trades[it.key() - 1];
        pages.text(QStringLiteral("Trade %1, %2: %3 %4 %5 at %6")
                       .arg(t.number)
                       .arg(periodText(r, t.day), t.transaction(), QString::number(std::fabs(t.amount), 'f', 0),
                            marketName(t.market), marketPriceText(t.market, t.price)),
                   9, true);
        pages.text(it.value(), 10, false, 14);
        pages.skip(4);
    }
}

} // namespace

QByteArray reviewReportPdf(const ReviewRecord& record) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&out);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(16, 16, 16, 14),
                                      QPageLayout::Millimeter));
        pdf.setResolution(96);
        pdf.setTitle(QStringLiteral("Pellucar game review ") + reviewFileStem(record));
        pdf.setCreator(QStringLiteral("Pellucar"));
        QPainter p;
        if (!p.begin(&pdf)) return {};
        p.setRenderHint(QPainter::Antialiasing);
        const ReviewFigures f = reviewFigures(record);
        Pages pages(pdf, p);
        identity(pages, record);
        equity(pages, record, f);
        pages.text(QStringLiteral("Statistics"), 13, true);
        pages.skip(4);
        pages.table(reviewStatistics(record, f), 150);
        pages.skip(12);
        openPositions(pages, record, f);
        trips(pages, record, f);
        journal(pages, record);
        if (!p.end()) return {};
    }
    return out.data();
}

QString saveReviewReport(const ReviewRecord& record, const QString& path) {
    const QByteArray pdf = reviewReportPdf(record);
    if (pdf.isEmpty()) return QStringLiteral("the report could not be drawn");
    return writeFileWhole(path, pdf);
}

} // namespace pellucar::ui
