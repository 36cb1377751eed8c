#include "charts/chart_data.h"

#include "common/dates.h"
#include "common/format.h"
#include "market/market_data.h"

#include <QHash>
#include <QStringBuilder>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <tuple>

namespace pellucar::charts {

namespace {

constexpr int kMinSlots = 5;
constexpr int kAxisIntervals = 4;
constexpr int kSoybeanId = 5;
constexpr int kTBondId = 6;

// A single-precision price as the decimal number it was written as, so that
// 18.45 stays 18.45 and not 18.4500007629.
double decimalOf(float v) { return roundDecimalF(v, 6); }

// Every redraw tells the same few dozen points again, one press later; the
// texts depend on their value alone, so each thread keeps those it has made.
// The bound keeps a long session's memory flat.
template <typename Key, typename Make> QString remembered(QHash<Key, QString>& known, Key key, Make make) {
    const auto it = known.constFind(key);
    if (it != known.constEnd()) return *it;
    constexpr qsizetype kMaxKnown = 8192;
    if (known.size() >= kMaxKnown) known.clear();
    return *known.insert(key, make());
}

quint64 bitsOf(double v) { return std::bit_cast<quint64>(v); }

QString makeValueText(Notation n, double v) {
    switch (n) {
    case Notation::Decimal: break;
    case Notation::ThirtySeconds: return pointsAnd32ndsText(std::round(v * 32.0) / 32.0);
    case Notation::QuarterCents: {
        // A moving average falls between quarter cents: it reads as the
        // nearest one, as every price of the market does.
        const CentsAndQuarter c = centsAndQuarterOf(std::round(v * 400.0) / 400.0);
        return c.quarter.isEmpty() ? c.cents : c.cents + QLatin1Char(' ') + c.quarter;
    }
    case Notation::PercentOf100: return formatPattern(v, QStringLiteral("0.#")) + QLatin1Char('%');
    case Notation::PercentOf1: return formatPattern(v * 100.0, QStringLiteral("0.#")) + QLatin1Char('%');
    case Notation::Count:
        if (std::fabs(v) >= 1e6) return formatPattern(v / 1e6, QStringLiteral("0.##")) + QLatin1Char('M');
        if (std::fabs(v) >= 1e4) return formatPattern(v / 1e3, QStringLiteral("0.#")) + QLatin1Char('K');
        return formatWhole(v);
    }
    return formatPattern(v, QStringLiteral("#,##0.00###"));
}

QString priceText(Notation n, double v) {
    thread_local std::array<QHash<quint64, QString>, 6> known;
    return remembered(known[static_cast<size_t>(n)], bitsOf(v), [n, v] { return makeValueText(n, v); });
}
QString percentText(double v) {
    thread_local QHash<quint64, QString> known;
    return remembered(known, bitsOf(v), [v] { return formatPattern(v, QStringLiteral("0.0")) + QLatin1Char('%'); });
}

// The axis texts of the hours, and their clock times for the hover text.
const std::array<const char*, 6> kHourLabels{"9:00", "10:00", "11:00", "12:00", "1:00", "2:00"};
const std::array<const char*, 6> kHourTimes{"9:00 am", "10:00 am", "11:00 am", "12:00 pm", "1:00 pm", "2:00 pm"};

// The charted market's history up to the current period, by row number:
// what the lines and indicators read, what the candles draw, and where each
// row lies in time.
struct History {
    PriceSeries prices;
    PriceSeries candles;
    // Where the rows' times are read, rather than copied out on each redraw:
    // the daily rows of the charted market, or the tick days.
    const MarketData* market = nullptr;
    const QList<DailyRow>* dailyRows = nullptr;
    int tickRows = 0; // tick days times hours
    int lastRow = 0;  // the current period's row; later rows are the future

    QDate dateOf(int row) const {
        if (dailyRows) return row >= 1 && row <= dailyRows->size() ? dailyRows->at(row - 1).date : QDate();
        if (row < 1 || row > tickRows) return QDate();
        return market->tickDays[(row - 1) / kTicksPerDay].date;
    }
    int hourOf(int row) const {
        if (dailyRows || row < 1 || row > tickRows) return 0;
        return (row - 1) % kTicksPerDay + 1;
    }
};

History historyFor(const ChartInputs& in) {
    History h;
    if (!in.market || in.periodIndex < 1) return h;
    const MarketData& md = *in.market;
    const int id = in.options.chartMarket();
    if (id < 1 || id > kMarketCount) return h;
    h.market = &md;
    // The series are shared, not copied: PriceSeries is implicitly shared.
    const ChartSeries series = in.series && in.series->mode == in.mode ? *in.series : chartSeries(md, in.mode, id);
    h.prices = series.prices;
    h.candles = series.candles;
    if (in.mode != DataMode::Tick) h.dailyRows = &md.series[static_cast<size_t>(id)].rows;
    else h.tickRows = std::clamp(md.tickDayCount(), 0, kTickDayCapacity) * kTicksPerDay;
    h.lastRow = std::min(in.periodIndex, static_cast<int>(h.prices.size()));
    return h;
}

// A row's time as a key of the remembered texts: the day, and the hour in
// the low three bits.
static_assert(kTicksPerDay < 8);
qint64 whenKey(const History& h, int row) {
    const QDate d = h.dateOf(row);
    return (d.isValid() ? d.toJulianDay() : std::numeric_limits<qint64>::min() / 16) * 8 + h.hourOf(row);
}

QString makeWhenText(const History& h, int row) {
    const QDate d = h.dateOf(row);
    QString text = weekdayName(d) + QLatin1Char(' ') + shortDate(d);
    const int hour = h.hourOf(row);
    if (hour >= 1 && hour <= 6) text += QLatin1Char(' ') + QLatin1String(kHourTimes[static_cast<size_t>(hour - 1)]);
    return text;
}

QString whenText(const History& h, int row) {
    thread_local QHash<qint64, QString> known;
    return remembered(known, whenKey(h, row), [&] { return makeWhenText(h, row); });
}

QString makeAxisLabel(const History& h, int row) {
    const QDate d = h.dateOf(row);
    const QString day = QStringLiteral("%1/%2").arg(d.month()).arg(d.day());
    const int hour = h.hourOf(row);
    if (hour < 1 || hour > 6) return day;
    const QString time = QString::fromLatin1(kHourLabels[static_cast<size_t>(hour - 1)]);
    return hour == 1 ? day + QLatin1Char(' ') + time : time;
}

QString axisLabel(const History& h, int row) {
    thread_local QHash<qint64, QString> known;
    return remembered(known, whenKey(h, row), [&] { return makeAxisLabel(h, row); });
}

// Adds a point's prices to its hover text: "Open 1.00   High 1.10" and
// "Low 0.90   Close 1.05" on two lines, in a single append (a redraw builds
// sixty hover texts).
void appendOhlcText(QString& detail, const std::optional<PricePoint>& p, Notation n) {
    if (!p) {
        detail += QLatin1String("\nNo price");
        return;
    }
    detail += QLatin1String("\nOpen ") % priceText(n, p->open) % QLatin1String("   High ") % priceText(n, p->high) %
              QLatin1String("\nLow ") % priceText(n, p->low) % QLatin1String("   Close ") % priceText(n, p->close);
}

// Adds a point's close to its hover text.
void appendCloseText(QString& detail, const std::optional<double>& close, Notation n) {
    if (close) detail += QLatin1String("\nClose ") % priceText(n, *close);
    else detail += QLatin1String("\nNo price");
}

QString tradeText(const TradeFill& f, Notation n) {
    QString text = (f.buy ? QStringLiteral("Bought at ") : QStringLiteral("Sold at ")) + priceText(n, f.price);
    if (f.marginCall) text += QStringLiteral(" (margin call)");
    return text;
}

std::optional<Ohlc> ohlcOf(const std::optional<PricePoint>& p) {
    if (!p) return std::nullopt;
    return Ohlc{p->open, p->high, p->low, p->close};
}

// Characters of price lines a hover text has room for from the start:
// "Open 1,234.56   High 1,234.56" and "Low 1,234.56   Close 1,234.56", or a
// close and a moving average. A longer text simply grows.
constexpr qsizetype kHoverLinesRoom = 72;

// The points of rows first..last, each told by its time, its prices and
// what `tell(point, row)` adds. With a memo, a row told before from the same
// series by the same `recipe` is taken as it was.
template <typename Tell>
QList<ChartPoint> pointsOf(const History& h, RowRange range, bool candles, Tell tell, ChartMemo::Points* memo = nullptr,
                           quint64 recipe = 0) {
    const PriceSeries& series = candles ? h.candles : h.prices;
    if (memo && (memo->series.constData() != series.constData() || memo->series.size() != series.size() ||
                 memo->market != h.market || memo->recipe != recipe))
        *memo = {series, h.market, recipe, std::vector<std::optional<ChartPoint>>(static_cast<size_t>(series.size()))};
    QList<ChartPoint> points;
    points.reserve(range.count());
    for (int r = range.first; r <= range.last; ++r) {
        std::optional<ChartPoint>* kept = memo && r >= 1 && r <= series.size() ? &memo->rows[r - 1] : nullptr;
        if (kept && *kept) {
            points.append(**kept);
            continue;
        }
        ChartPoint p;
        p.label = axisLabel(h, r);
        p.date = h.dateOf(r);
        p.hour = h.hourOf(r);
        const auto& row = series.at(r - 1);
        p.price = ohlcOf(row);
        p.detail = whenText(h, r);
        // The charts add a line or two of prices to each hover text; with
        // room for them the text grows in place.
        p.detail.reserve(p.detail.size() + kHoverLinesRoom);
        tell(p, r);
        if (kept) *kept = p;
        points.append(std::move(p));
    }
    return points;
}

// Rows told by their time and prices alone.
void tellNothingMore(ChartPoint&, int) {}

// The player's fills that lie in the drawn rows; their texts go into the
// hover text of their point too.
QList<TradeMarker> markersOf(const QList<TradeFill>& fills, RowRange range, QList<ChartPoint>& points, Notation n) {
    QList<TradeMarker> markers;
    QList<TradeFill> sorted = fills;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const TradeFill& a, const TradeFill& b) { return a.periodIndex < b.periodIndex; });
    for (const TradeFill& f : sorted) {
        if (!range.contains(f.periodIndex)) continue;
        const int i = f.periodIndex - range.first;
        const QString label = tradeText(f, n);
        markers.append({i, f.price, f.buy, f.marginCall, label});
        points[i].detail += QLatin1Char('\n') + label;
    }
    return markers;
}

ChartLine constantLine(ChartLine::Kind kind, const QString& name, double value, int n) {
    return {kind, name, Values(n, std::optional<double>(value))};
}

// Collects every value a chart draws, for its axis.
struct Span {
    std::optional<Extent> e;
    void add(double v) {
        if (!std::isfinite(v)) return;
        if (!e) e = Extent{v, v};
        e->min = std::min(e->min, v);
        e->max = std::max(e->max, v);
    }
    void add(const Values& values) {
        for (const auto& v : values)
            if (v) add(*v);
    }
};

// The step between two labels of a value axis: the smallest round step of
// the notation at least `raw` (T-Bond steps in 32nds of a point, Soybean
// steps in quarter cents below a cent).
double tickStep(Notation n, double raw) {
    if (n == Notation::ThirtySeconds)
        for (double s : {1 / 32.0, 2 / 32.0, 4 / 32.0, 8 / 32.0, 16 / 32.0})
            if (s >= raw * (1 - 1e-9)) return s;
    if (n == Notation::QuarterCents)
        for (double s : {0.0025, 0.005})
            if (s >= raw * (1 - 1e-9)) return s;
    double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (int guard = 0; guard < 40; ++guard, magnitude *= 10)
        for (double m : {1.0, 2.0, 2.5, 5.0})
            // Two and a half points would read in 16/32s on a T-Bond axis.
            if (m * magnitude >= raw * (1 - 1e-9) && !(n == Notation::ThirtySeconds && m == 2.5)) return m * magnitude;
    return raw;
}

// The least difference between two values a label of the notation tells
// apart.
double smallestStep(Notation n) {
    switch (n) {
    case Notation::ThirtySeconds: return 1 / 32.0;
    case Notation::QuarterCents: return 0.0025;
    case Notation::PercentOf100: return 0.1;
    case Notation::PercentOf1: return 0.001;
    case Notation::Count: return 1;
    case Notation::Decimal: break;
    }
    return 0.01;
}

// A value axis: the drawn values with a little room above and below (never
// below zero for prices that are not), labelled at the round steps that
// fall inside, about four intervals apart. Values the notation writes alike
// (a flat line, one price read from two decimals) get an axis around them,
// so no two labels ever read the same.
void layValueAxis(ChartData& c, const Span& span) {
    double lo = span.e->min, hi = span.e->max;
    const double least = smallestStep(c.notation);
    if (hi - lo < 2 * least) {
        const double mid = (hi + lo) / 2;
        const double room = std::max(std::fabs(mid) * 0.01, 2 * least);
        lo = mid - room;
        hi = mid + room;
    }
    // A trade's mark is drawn round its price: the edges leave it room.
    const double pad = (hi - lo) * (c.markers.isEmpty() ? 0.03 : 0.08);
    double low = lo - pad;
    double high = hi + pad;
    if (low < 0 && lo >= 0) low = 0;
    // Three to seven labels: the step is at least a sixth of the axis.
    double step = tickStep(c.notation, std::max((high - low) / 6, least));
    // The limits stand on quarter steps, so a chart that moves on by a day
    // mostly keeps its axis (each change of it lays the chart out again).
    const double quarter = step / 4;
    low = std::floor(low / quarter + 1e-9) * quarter;
    high = std::ceil(high / quarter - 1e-9) * quarter;
    c.yMin = roundDecimal(low, 6);
    c.yMax = roundDecimal(high, 6);
    for (int widen = 0; widen < 8; ++widen) {
        c.yTicks.clear();
        c.yLabels.clear();
        const auto first = static_cast<long long>(std::ceil(c.yMin / step - 1e-9));
        const auto last = static_cast<long long>(std::floor(c.yMax / step + 1e-9));
        bool repeated = false;
        for (long long k = first; k <= last && k - first <= 12; ++k) {
            const double v = roundDecimal(static_cast<double>(k) * step, 9);
            const QString label = priceText(c.notation, v);
            repeated |= !c.yLabels.isEmpty() && c.yLabels.last() == label;
            c.yTicks << v;
            c.yLabels << label;
        }
        if (!repeated) return;
        step = tickStep(c.notation, step * 1.5);
    }
}

// The axis depends on the span, the notation and whether marks are drawn
// alone: a memo of the last one serves while they hold.
void setValueAxis(ChartData& c, const Span& span, std::optional<ChartMemo::Axis>* memo = nullptr) {
    if (!span.e) return;
    const auto low = std::bit_cast<quint64>(span.e->min), high = std::bit_cast<quint64>(span.e->max);
    const bool marked = !c.markers.isEmpty();
    if (memo && *memo) {
        const ChartMemo::Axis& a = **memo;
        if (a.low == low && a.high == high && a.notation == c.notation && a.marked == marked) {
            std::tie(c.yMin, c.yMax, c.yTicks, c.yLabels) = std::tie(a.yMin, a.yMax, a.yTicks, a.yLabels);
            return;
        }
    }
    layValueAxis(c, span);
    if (memo) *memo = ChartMemo::Axis{low, high, c.notation, marked, c.yMin, c.yMax, c.yTicks, c.yLabels};
}

// The indicators' fixed axis: 0 to the top value, labelled in percent.
void setPercentAxis(ChartData& c, double top) {
    c.notation = top > 1 ? Notation::PercentOf100 : Notation::PercentOf1;
    c.yMin = 0;
    c.yMax = top;
    c.yTicks.clear();
    c.yLabels.clear();
    for (int i = 0; i <= kAxisIntervals; ++i) {
        c.yTicks << top * i / kAxisIntervals;
        c.yLabels << QString::number(i * 100 / kAxisIntervals) + '%';
    }
}

// Fixed levels of an indicator across the chart.
void addGuides(ChartData& c, std::initializer_list<double> levels, int n) {
    for (double v : levels) c.lines.append(constantLine(ChartLine::Kind::Guide, QString(), v, n));
}

// The last close drawn, for the tag on the y axis.
std::optional<double> lastOf(const Values& values) {
    for (auto it = values.crbegin(); it != values.crend(); ++it)
        if (*it) return *it;
    return std::nullopt;
}

QString signedDollars(double v) {
    return (v < 0 ? QStringLiteral("-$") : QStringLiteral("+$")) + formatStandard(std::fabs(v));
}

// The moving average of rows first..last, each over the `periods` rows that
// end at it (none before the game has that many).
Values averageOf(const History& h, RowRange range, int periods, int periodIndex) {
    Values average;
    if (periodIndex < periods) return average;
    for (int r = range.first; r <= range.last; ++r) average.append(movingAverage(h.prices, r, periods));
    return average;
}

ChartData leftChart(const ChartInputs& in, const ChartOptions& options, const History& h, ChartMemo* memo) {
    ChartData c;
    c.notation = notationOf(options.chartMarket());
    if (h.lastRow < 1) return c;
    RowRange range = options.viewRange(h.lastRow);
    if (options.leftType() == LeftChartType::YearToDate) {
        const QDate now = in.currentDate.isValid() ? in.currentDate : h.dateOf(h.lastRow);
        const QDate newYear(now.year(), 1, 1);
        int first = h.lastRow;
        while (first > 1 && h.dateOf(first - 1) >= newYear) --first;
        range = {first, h.lastRow};
    }
    c.rows = range;
    // The open-high-low-close chart draws each period whole, as candles or
    // bars, unless the player asked for the close alone.
    const bool ohlc = options.leftType() == LeftChartType::OpenHighLowClose;
    const bool candles = ohlc && options.priceStyle() != PriceStyle::CloseLine;
    c.style = !candles                                      ? ChartData::Style::Line
              : options.priceStyle() == PriceStyle::Candles ? ChartData::Style::Candles
                                                            : ChartData::Style::Bars;
    const PriceSeries& drawn = candles ? h.candles : h.prices;
    const auto ohlcText = [&](ChartPoint& p, int row) { appendOhlcText(p.detail, drawn.at(row - 1), c.notation); };
    c.points = pointsOf(h, range, candles, ohlcText, memo ? &memo->left : nullptr,
                        static_cast<quint64>(c.notation) * 2 + (candles ? 1 : 0));
    c.xSlots = std::max(kMinSlots, static_cast<int>(c.points.size()));
    const int n = static_cast<int>(c.points.size());
    Span span;
    for (int i = 0; i < n; ++i) {
        const ChartPoint& p = c.points[i];
        if (candles && p.price) {
            span.add(p.price->low);
            span.add(p.price->high);
        }
    }
    const Values close = closes(h.prices, range);
    c.lastValue = lastOf(close);
    // A daily row with nothing but its close (before 1990 every market but
    // Oil settled so) has no candle or bar to draw: those days are drawn as
    // a line of the settlement prices, whatever the style.
    if (candles && h.dailyRows) {
        Values settlement(n);
        bool any = false;
        for (int i = 0; i < n; ++i) {
            auto& p = c.points[i].price;
            const int row = range.first + i;
            if (!p || row > h.dailyRows->size() || !settlementOnly(h.dailyRows->at(row - 1))) continue;
            settlement[i] = p->close;
            p.reset();
            any = true;
        }
        if (any) c.lines.append({ChartLine::Kind::Settlement, QStringLiteral("Settlement price"), settlement});
    }
    if (!candles) {
        c.lines.append({ChartLine::Kind::Close, QStringLiteral("Close"), close});
        span.add(close);
        if (options.leftType() == LeftChartType::Price) {
            if (options.priceMeanLine())
                if (const auto m = mean(close)) c.lines.append(constantLine(ChartLine::Kind::Mean, "Mean", *m, n));
            if (options.priceMinMaxLines())
                if (const auto e = extent(close)) {
                    c.lines.append(constantLine(ChartLine::Kind::Min, "Min", e->min, n));
                    c.lines.append(constantLine(ChartLine::Kind::Max, "Max", e->max, n));
                }
        }
    }
    if (options.priceAverageLine()) {
        const int periods = options.movingAveragePeriods();
        const Values average = averageOf(h, range, periods, in.periodIndex);
        if (!average.isEmpty()) {
            c.lines.append(
                {ChartLine::Kind::MovingAverage, QStringLiteral("Moving Average (%1)").arg(periods), average});
            span.add(average);
        }
    }
    if (options.priceBands()) {
        const Bands b = bollingerBands(h.prices, range.last);
        const auto shown = [&range](const Values& v) { return v.mid(range.first - 1, range.count()); };
        const QString name = QStringLiteral("Bollinger Bands (%1, %2)").arg(kBollingerPeriods).arg(kBollingerWidth);
        for (const Values& v : {b.upper, b.middle, b.lower}) {
            c.lines.append({ChartLine::Kind::Band, name, shown(v)});
            span.add(c.lines.last().values);
        }
    }
    c.markers = markersOf(in.fills, range, c.points, c.notation);
    for (const TradeMarker& m : c.markers) span.add(m.price);
    if (in.position && in.position->contracts != 0) {
        const OpenPosition& p = *in.position;
        const bool isLong = p.contracts > 0;
        c.position = PositionLine{p.averagePrice, isLong,
                                  (isLong ? QStringLiteral("Long ") : QStringLiteral("Short ")) +
                                      QString::number(std::abs(p.contracts)) + QStringLiteral(" at ") +
                                      priceText(c.notation, p.averagePrice) + QStringLiteral("   ") +
                                      signedDollars(p.unrealized)};
        span.add(p.averagePrice);
    }
    // The working orders stand on the axis the prices are drawn on.
    c.orders = in.orders;
    for (const OrderLine& o : in.orders) span.add(o.price);
    // Stories stand at the hour they came out; the points reach no later
    // than the current period, so neither do they.
    if (in.mode == DataMode::Tick)
        for (const StoryTime& st : in.stories)
            for (int i = 0; i < n; ++i) {
                ChartPoint& p = c.points[i];
                if (p.date != st.date || p.hour != st.hour) continue;
                c.stories.append({i, st.headline});
                p.detail += QLatin1String("\nNews: ") + st.headline;
                break;
            }
    setValueAxis(c, span, memo ? &memo->leftAxis : nullptr);
    return c;
}

// The day's volume and open interest of the charted market, where the data
// hold them (a zero is a figure the exchange did not report).
ChartData volumeChart(const ChartOptions& options, const History& h, ChartMemo* memo) {
    ChartData c;
    c.notation = Notation::Count;
    if (h.lastRow < 1) return c;
    const RowRange range = options.viewRange(h.lastRow);
    c.rows = range;
    c.points = pointsOf(h, range, false, tellNothingMore);
    c.xSlots = std::max(kMinSlots, static_cast<int>(c.points.size()));
    Values volume, interest;
    Span span;
    for (int r = range.first; r <= range.last; ++r) {
        const DailyRow* row = h.dailyRows && r <= h.dailyRows->size() ? &h.dailyRows->at(r - 1) : nullptr;
        const auto figure = [](qint32 v) { return v > 0 ? std::optional<double>(v) : std::nullopt; };
        volume.append(row ? figure(row->dayVolume) : std::nullopt);
        interest.append(row ? figure(row->openInterest) : std::nullopt);
        QString& d = c.points[r - range.first].detail;
        d += QLatin1String("\nVolume ") % (volume.last() ? formatWhole(*volume.last()) : QStringLiteral("none")) %
             QLatin1String("   Open interest ") %
             (interest.last() ? formatWhole(*interest.last()) : QStringLiteral("none"));
    }
    span.add(volume);
    span.add(interest);
    if (!span.e) {
        c.note = h.dailyRows ? QStringLiteral("No volume or open interest in the data for these days")
                             : QStringLiteral("Volume and open interest are daily figures, not hourly");
        return c;
    }
    span.add(0);
    c.lines.append({ChartLine::Kind::Volume, QStringLiteral("Volume"), volume});
    c.lines.append({ChartLine::Kind::OpenInterest, QStringLiteral("Open interest"), interest});
    setValueAxis(c, span, memo ? &memo->rightAxis : nullptr);
    return c;
}

// The average true range or MACD of the charted market, in place of the
// indicator: each read from the rows up to the one it stands at.
ChartData paneChart(const ChartOptions& options, const History& h, ChartMemo* memo) {
    ChartData c;
    const bool atr = options.rightPane() == RightPane::AverageTrueRange;
    // MACD's small differences read as decimals in every market.
    c.notation = atr ? notationOf(options.chartMarket()) : Notation::Decimal;
    if (h.lastRow < 1) return c;
    const RowRange range = options.viewRange(h.lastRow);
    c.rows = range;
    c.points = pointsOf(h, range, false, tellNothingMore);
    c.xSlots = std::max(kMinSlots, static_cast<int>(c.points.size()));
    const auto shown = [&range](const Values& v) { return v.mid(range.first - 1, range.count()); };
    Span span;
    if (atr) {
        c.lines.append({ChartLine::Kind::Indicator1, QStringLiteral("Average True Range (%1)").arg(kAtrPeriods),
                        shown(averageTrueRange(h.prices, range.last))});
    } else {
        const Macd m = macd(h.prices, range.last);
        span.add(0);
        c.lines.append({ChartLine::Kind::Histogram, QStringLiteral("Histogram"), shown(m.histogram)});
        c.lines.append({ChartLine::Kind::Indicator1, QStringLiteral("MACD"), shown(m.macd)});
        c.lines.append({ChartLine::Kind::Indicator2, QStringLiteral("Signal"), shown(m.signal)});
    }
    for (const ChartLine& l : c.lines) span.add(l.values);
    for (qsizetype i = 0; i < c.points.size(); ++i)
        for (const ChartLine& l : c.lines)
            if (l.values.at(i))
                c.points[i].detail +=
                    QLatin1Char('\n') % l.name % QLatin1Char(' ') % priceText(c.notation, *l.values.at(i));
    if (!span.e) {
        c.note = atr ? QStringLiteral("The average true range starts after %1 periods").arg(kAtrPeriods)
                     : QStringLiteral("MACD starts after %1 periods").arg(kMacdSlow);
        return c;
    }
    setValueAxis(c, span, memo ? &memo->rightAxis : nullptr);
    return c;
}

ChartData rightChart(const ChartInputs& in, const ChartOptions& options, const History& h, ChartMemo* memo) {
    if (options.volumePane()) return volumeChart(options, h, memo);
    if (options.rightPane() != RightPane::Indicator) return paneChart(options, h, memo);
    ChartData c;
    c.notation = notationOf(options.chartMarket());
    if (options.graphType() != GraphType::MovingAverage)
        setPercentAxis(c, options.graphType() == GraphType::RelativeStrengthIndex ? 100.0 : 1.0);
    if (h.lastRow < 1) return c;
    const RowRange range = options.viewRange(h.lastRow);
    c.rows = range;
    c.style = ChartData::Style::Line;
    if (options.graphType() != GraphType::MovingAverage) c.points = pointsOf(h, range, false, tellNothingMore);
    c.xSlots = std::max(kMinSlots, static_cast<int>(range.count()));
    const int n = static_cast<int>(range.count());
    const Values close = closes(h.prices, range);
    const Notation prices = notationOf(options.chartMarket());

    switch (options.graphType()) {
    case GraphType::MovingAverage: {
        const int periods = options.movingAveragePeriods();
        Span span;
        c.lines.append({ChartLine::Kind::Close, QStringLiteral("Close"), close});
        span.add(close);
        c.lastValue = lastOf(close);
        const Values average = averageOf(h, range, periods, in.periodIndex);
        if (!average.isEmpty()) {
            c.lines.append(
                {ChartLine::Kind::MovingAverage, QStringLiteral("Moving Average (%1)").arg(periods), average});
            span.add(average);
        }
        if (options.movingMeanLine())
            if (const auto m = mean(close)) c.lines.append(constantLine(ChartLine::Kind::Mean, "Mean", *m, n));
        if (options.movingMinMaxLines())
            if (const auto e = extent(close)) {
                c.lines.append(constantLine(ChartLine::Kind::Min, "Min", e->min, n));
                c.lines.append(constantLine(ChartLine::Kind::Max, "Max", e->max, n));
            }
        const QString averageName =
            QLatin1String("\nMoving average (") % QString::number(periods) % QLatin1String(") ");
        const auto closeText = [&](ChartPoint& p, int row) {
            const int i = row - range.first;
            appendCloseText(p.detail, close.at(i), prices);
            if (!average.isEmpty() && average.at(i)) p.detail += averageName % priceText(prices, *average.at(i));
        };
        c.points = pointsOf(h, range, false, closeText, memo ? &memo->right : nullptr,
                            (static_cast<quint64>(periods) * 2 + (average.isEmpty() ? 0 : 1)) * 8 +
                                static_cast<quint64>(prices));
        c.markers = markersOf(in.fills, range, c.points, prices);
        for (const TradeMarker& m : c.markers) span.add(m.price);
        setValueAxis(c, span, memo ? &memo->rightAxis : nullptr);
        break;
    }
    case GraphType::RelativeStrengthIndex: {
        const Values rsi = relativeStrengthIndex(h.prices, range, in.periodIndex, options.rsiChanges());
        if (!rsi.isEmpty()) {
            c.lines.append({ChartLine::Kind::Indicator1, QStringLiteral("RSI"), rsi});
            addGuides(c, {30.0, 70.0}, n);
        }
        for (int i = 0; i < n; ++i) {
            QString& d = c.points[i].detail;
            appendCloseText(d, close.at(i), prices);
            if (!rsi.isEmpty() && rsi.at(i)) d += QLatin1String("\nRelative strength ") % percentText(*rsi.at(i));
        }
        break;
    }
    case GraphType::Stochastic: {
        PriceSeries drawn;
        for (int r = range.first; r <= range.last; ++r) drawn.append(h.prices.at(r - 1));
        const bool fast = options.fastStochastics();
        const IndicatorSets sets = stochasticDisplay(drawn, in.periodIndex, fast, options.stochasticWindow());
        const QString first = fast ? QStringLiteral("%K") : QStringLiteral("%D");
        const QString second = fast ? QStringLiteral("%D") : QStringLiteral("Slow %D");
        if (!sets.first.isEmpty()) {
            c.lines.append({ChartLine::Kind::Indicator1, first, sets.first});
            c.lines.append({ChartLine::Kind::Indicator2, second, sets.second});
            addGuides(c, {0.2, 0.8}, n);
        }
        for (int i = 0; i < n; ++i) {
            QString& d = c.points[i].detail;
            appendCloseText(d, close.at(i), prices);
            if (!sets.first.isEmpty() && sets.first.at(i) && sets.second.at(i))
                d += QStringLiteral("\n%1 %2   %3 %4")
                         .arg(first, percentText(*sets.first.at(i) * 100), second,
                              percentText(*sets.second.at(i) * 100));
        }
        break;
    }
    }
    return c;
}

} // namespace

Notation notationOf(int commodityId) {
    if (commodityId == kSoybeanId) return Notation::QuarterCents;
    if (commodityId == kTBondId) return Notation::ThirtySeconds;
    return Notation::Decimal;
}

QString valueText(Notation notation, double v) { return priceText(notation, v); }

PriceSeries dailyPriceSeries(const MarketData& market, int commodityId) {
    PriceSeries out;
    if (commodityId < 1 || commodityId > kMarketCount) return out;
    const QList<DailyRow>& rows = market.series[static_cast<size_t>(commodityId)].rows;
    out.reserve(rows.size());
    // The daily Soybean series is kept in cents; the game trades it in
    // dollars, and the chart shows what the player trades.
    const double scale = commodityId == kSoybeanId ? 100.0 : 1.0;
    for (const DailyRow& r : rows) {
        // A missing row carries -1 (or nothing at all): it has no price.
        if (r.close <= 0) {
            out.append(std::nullopt);
            continue;
        }
        auto value = [&](float v) { return roundDecimal(decimalOf(v) / scale, 6); };
        const double close = value(r.close);
        // A row with only its close (a day the exchange stood still) is a
        // flat bar at that close.
        const double open = r.open > 0 ? value(r.open) : close;
        const double high = std::max({r.high > 0 ? value(r.high) : close, open, close});
        const double low = std::min({r.low > 0 ? value(r.low) : close, open, close});
        out.append(PricePoint{open, high, low, close});
    }
    return out;
}

namespace {

// One point per tick hour of every loaded day; an hour without a trade in
// its window has no price.
template <typename PointOf> PriceSeries hourlySeries(const MarketData& market, int commodityId, PointOf pointOf) {
    PriceSeries out;
    if (commodityId < 1 || commodityId > kMarketCount) return out;
    const int days = std::clamp(market.tickDayCount(), 0, kTickDayCapacity);
    out.reserve(days * kTicksPerDay);
    for (int d = 0; d < days; ++d) {
        for (int hour = 1; hour <= kTicksPerDay; ++hour) {
            const TickPeriod& t =
                market.tickDays[d].periods[static_cast<size_t>(commodityId)][static_cast<size_t>(hour)];
            if (t.seen) out.append(pointOf(t));
            else out.append(std::nullopt);
        }
    }
    return out;
}

// The tick hours' candles: each spans the trades of the hour's sampling
// window, and its open is the hour's price, the one the game trades at.
PriceSeries hourlyCandleSeries(const MarketData& market, int commodityId) {
    return hourlySeries(market, commodityId, [](const TickPeriod& t) {
        return PricePoint{t.price, std::max(t.high, t.price), std::min(t.low, t.price), t.last};
    });
}

} // namespace

PriceSeries hourlyPriceSeries(const MarketData& market, int commodityId) {
    return hourlySeries(market, commodityId, [](const TickPeriod& t) {
        return PricePoint{t.price, t.price, t.price, t.price};
    });
}

ChartSeries chartSeries(const MarketData& market, DataMode mode, int commodityId) {
    ChartSeries s;
    s.mode = mode;
    if (mode != DataMode::Tick) {
        s.prices = dailyPriceSeries(market, commodityId);
        s.candles = s.prices;
    } else {
        s.prices = hourlyPriceSeries(market, commodityId);
        s.candles = hourlyCandleSeries(market, commodityId);
    }
    return s;
}

ChartPair preparedCharts() {
    ChartPair p;
    p.left.title = QStringLiteral("Open-High-Low-Close");
    p.right.title = QStringLiteral("Moving Average");
    return p;
}

bool settlementOnly(const DailyRow& r) {
    const auto onlyClose = [&r](float v) { return v <= 0 || v == r.close; };
    return r.close > 0 && onlyClose(r.open) && onlyClose(r.high) && onlyClose(r.low);
}

std::pair<QString, QString> chartTitles(const ChartOptions& refreshed, DataMode mode, int periodIndex,
                                        const MarketData* market) {
    QString left = refreshed.leftTitle(mode, periodIndex);
    // The open-high-low-close chart's title says what it draws: the close
    // alone when asked to, and the days in view that hold only their
    // settlement price, which are drawn as a line.
    if (left == QLatin1String("Open-High-Low-Close")) {
        const int id = refreshed.chartMarket();
        if (refreshed.priceStyle() == PriceStyle::CloseLine) {
            left = QStringLiteral("Close Price");
        } else if (market && mode != DataMode::Tick && id >= 1 && id <= kMarketCount) {
            const QList<DailyRow>& rows = market->series[static_cast<size_t>(id)].rows;
            const RowRange range = refreshed.viewRange(std::min(periodIndex, static_cast<int>(rows.size())));
            int settled = 0, whole = 0;
            for (int r = range.first; r <= range.last; ++r) {
                const DailyRow& row = rows.at(r - 1);
                if (row.close <= 0) continue;
                ++(settlementOnly(row) ? settled : whole);
            }
            if (settled > 0)
                left = whole > 0 ? left + QStringLiteral(", Settlement-Only Days as a Line")
                                 : QStringLiteral("Settlement Price");
        }
    }
    QString right = refreshed.rightTitle();
    switch (refreshed.rightPane()) {
    case RightPane::Volume: right = QStringLiteral("Volume and Open Interest"); break;
    case RightPane::AverageTrueRange: right = QStringLiteral("Average True Range (%1)").arg(kAtrPeriods); break;
    case RightPane::Macd:
        right = QStringLiteral("MACD (%1, %2, %3)").arg(kMacdFast).arg(kMacdSlow).arg(kMacdSignal);
        break;
    case RightPane::Indicator:
        // An indicator over other periods than its own says so.
        if (refreshed.graphType() == GraphType::RelativeStrengthIndex && refreshed.rsiChanges() != kRsiChanges)
            right += QStringLiteral(" (%1)").arg(refreshed.rsiChanges());
        if (refreshed.graphType() == GraphType::Stochastic && refreshed.stochasticWindow() != kStochasticWindow)
            right += QStringLiteral(" (%1)").arg(refreshed.stochasticWindow());
        break;
    }
    return {left, right};
}

ChartPair composeCharts(const ChartInputs& in, ChartMemo* memo) {
    ChartOptions options = in.options;
    options.beginRefresh(in.mode, in.periodIndex);
    const History h = historyFor(in);
    ChartPair pair{leftChart(in, options, h, memo), rightChart(in, options, h, memo)};
    std::tie(pair.left.title, pair.right.title) = chartTitles(options, in.mode, in.periodIndex, in.market);
    return pair;
}

} // namespace pellucar::charts
