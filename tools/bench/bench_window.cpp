// The main window: start-up to the window shown, one Forward press with
// both charts redrawn, and the peak memory of a year played through it, each
// beside a bare Qt floor taken in the same run.
#include "bench_support.h"

#include "app/view/control_table.h"
#include "ui/look.h"
#include "ui/metrics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QtCharts/QCandlestickSeries>
#include <QtCharts/QCandlestickSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <cstdio>
#include <cstring>
#include <functional>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

namespace pellucar::bench {
namespace {

// Steps of the charts' view per figure.
constexpr int kViewSteps = 60;
constexpr int kWindowWidthTwips = 9540; // the main window's design size
constexpr int kWindowHeightTwips = 7220;
// Cold starts are few and slow; a handful gives a steady median.
constexpr int kColdStarts = 7;

std::int64_t monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// The bare floor of start-up: a main window of the same size with an empty
// central widget, shown and painted.
struct BareWindow {
    QMainWindow window;
    QWidget* central = new QWidget;
    PaintWatch paints;
    BareWindow() {
        window.setCentralWidget(central);
        window.resize(ui::twipsToPixelsX(kWindowWidthTwips, &window), ui::twipsToPixelsY(kWindowHeightTwips, &window));
        paints.watch(central);
    }
    bool show() {
        window.show();
        return processUntilPainted(paints, {central});
    }
};

// What the main window shows at its first paint: labels and buttons showing
// these texts, the game's name in the title font and the rest in the window
// font. The fair floor shows the same texts in the same fonts;
// startWindow() says when the window no longer shows them.
constexpr const char* kShownLabels[] = {"Pellucar",
                                        "Day 1:",
                                        "Time:",
                                        "Reports:",
                                        "  Current Market:    (Last Trade  *  Change)",
                                        "Current Positions:",
                                        "Oil",
                                        "0",
                                        "Gold",
                                        "0",
                                        "T-Bond",
                                        "0",
                                        "SP500",
                                        "0",
                                        "Cattle",
                                        "0",
                                        "Soybean",
                                        "0",
                                        "Maximum Transaction:",
                                        "Account Value:",
                                        "100,000.00",
                                        "Gain / Loss (%):",
                                        "0.00%",
                                        "Realized P(L):",
                                        "0.00",
                                        "Unrealized P(L):",
                                        "0.00",
                                        "Future Reqs.:",
                                        "0.00",
                                        "Margin Excess:",
                                        "100,000.00",
                                        "Cash Margin (%):",
                                        "100.00%",
                                        "Total Trades:",
                                        "0",
                                        "Score:",
                                        "$0.00",
                                        "Trader Input:"};
constexpr const char* kShownButtons[] = {"&Forward",      "&Play",          "&Trade",
                                         "&News History", "T&rade History", "Wide Charts"};

QStringList shownTexts(const QWidget& window) {
    QStringList texts;
    for (const QLabel* l : window.findChildren<QLabel*>())
        if (l->isVisible() && !l->text().isEmpty()) texts << l->text();
    for (const QAbstractButton* b : window.findChildren<QAbstractButton*>())
        if (b->isVisible() && !b->text().isEmpty()) texts << b->text();
    return texts;
}

QStringList floorTexts() {
    QStringList texts;
    for (const char* t : kShownLabels) texts << QString::fromUtf8(t);
    for (const char* t : kShownButtons) texts << QString::fromUtf8(t);
    return texts;
}

// The fair floor of start-up: a window of the main window's size holding
// labels and buttons showing the same texts in the same fonts, and one Qt
// Charts view showing a chart's title in the chart's bold; shown and
// painted; no game and no database.
struct FairWindow {
    QMainWindow window;
    QWidget* central = new QWidget;
    QChartView* chart = new QChartView(new QChart);
    PaintWatch paints;
    FairWindow() {
        central->setFont(ui::windowFont());
        auto* grid = new QGridLayout;
        int i = 0;
        for (const char* t : kShownLabels) {
            auto* label = new QLabel(QString::fromUtf8(t));
            if (i == 0) label->setFont(ui::titleFont());
            grid->addWidget(label, i / 4, i % 4);
            ++i;
        }
        i = 0;
        for (const char* t : kShownButtons) {
            grid->addWidget(new QPushButton(QString::fromUtf8(t)), std::size(kShownLabels) / 4 + 1 + i / 4, i % 4);
            ++i;
        }
        QFont bold = ui::windowFont();
        bold.setBold(true);
        chart->chart()->setTitleFont(bold);
        chart->chart()->setTitle(QStringLiteral("Open-High-Low-Close"));
        auto* whole = new QHBoxLayout(central);
        whole->addLayout(grid);
        whole->addWidget(chart, 1);
        window.setCentralWidget(central);
        window.resize(ui::twipsToPixelsX(kWindowWidthTwips, &window), ui::twipsToPixelsY(kWindowHeightTwips, &window));
        paints.watch(central);
        paints.watch(chart->viewport());
    }
    bool show() {
        window.show();
        return processUntilPainted(paints, {central, chart->viewport()});
    }
};

// Calls `then` once the widget has painted for the first time, after that
// paint, as the main window tells of its own first paint (firstPainted).
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* w, std::function<void()> then) : then_(std::move(then)) { w->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QMetaObject::invokeMethod(
                this, [this] { then_(); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void()> then_;
    bool seen_ = false;
};

// Start-up as the program does it (window shown, then the game's start-up
// with its About and disclaimer windows), up to the window painted.
bool startWindow(WindowRig& rig) {
    rig.paints.watch(rig.window.centralWidget());
    rig.window.show();
    rig.window.startUp();
    if (rig.game.ended()) return false;
    if (!processUntilPainted(rig.paints, {rig.window.centralWidget(), rig.left, rig.right})) return false;
    const QStringList shown = shownTexts(rig.window), floor = floorTexts();
    if (shown != floor)
        std::fprintf(stderr, "pellucar-bench: the window shows other texts than the fair floor: %s\n",
                     qPrintable(shown.join(QLatin1Char('|'))));
    return true;
}

void BM_Startup_Window_InProcess(benchmark::State& state) {
    Samples samples;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        auto rig = std::make_unique<WindowRig>(dailyYear());
        const bool ok = startWindow(*rig);
        samples.stop(t0);
        if (!ok) return state.SkipWithError("the main window did not come up");
        state.PauseTiming();
        rig.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    samples.publish(state, "startup.warm");
}

void BM_Startup_FairFloor_InProcess(benchmark::State& state) {
    Samples samples;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        auto fair = std::make_unique<FairWindow>();
        const bool ok = fair->show();
        samples.stop(t0);
        if (!ok) return state.SkipWithError("the fair floor never painted");
        state.PauseTiming();
        fair.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    samples.publish(state, "startup.fair.warm");
}

void BM_Startup_BareWindow_InProcess(benchmark::State& state) {
    Samples samples;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        auto bare = std::make_unique<BareWindow>();
        const bool ok = bare->show();
        samples.stop(t0);
        if (!ok) return state.SkipWithError("the bare window never painted");
        state.PauseTiming();
        bare.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    samples.publish(state, "startup.bare.warm");
}

// Runs this program again in a probe mode; returns its one line of output.
// With `freshMemory` it is started from a shell the shell forks: a child
// forked straight from this process would carry this process's resident
// size into its own getrusage peak (Linux keeps the peak across exec).
QString runProbe(const QStringList& args, int timeoutMs, bool freshMemory = false) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (freshMemory)
        p.start(QStringLiteral("/bin/sh"), QStringList{QStringLiteral("-c"), QStringLiteral("\"$0\" \"$@\"; exit $?"),
                                                       QCoreApplication::applicationFilePath()} +
                                               args);
    else p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

// A cold start: a new process (loading Qt, the platform plugin and fonts)
// up to the window painted, timed from just before the launch.
void startupProcess(benchmark::State& state, const char* what, const std::string& figure) {
    Samples samples;
    for (auto _ : state) {
        const std::int64_t t0 = monotonicNs();
        const QString out = runProbe({"--probe", "startup", QString::fromLatin1(what), QString::number(t0)}, 30000);
        bool ok = false;
        const double ns = out.toDouble(&ok);
        if (!ok) return state.SkipWithError("the start-up probe failed");
        state.SetIterationTime(ns / 1e9);
        samples.add(std::chrono::nanoseconds(static_cast<std::int64_t>(ns)));
    }
    samples.publish(state, figure);
}

void BM_Startup_Window_Process(benchmark::State& state) { startupProcess(state, "window", "startup.process"); }
void BM_Startup_BareWindow_Process(benchmark::State& state) { startupProcess(state, "bare", "startup.bare.process"); }
void BM_Startup_FairFloor_Process(benchmark::State& state) { startupProcess(state, "fair", "startup.fair.process"); }

void forwardInWindow(benchmark::State& state, const SetupPlan& plan, const std::string& figure) {
    std::unique_ptr<WindowRig> rig;
    std::string error;
    auto fresh = [&] {
        rig.reset();
        QCoreApplication::processEvents();
        rig = std::make_unique<WindowRig>(plan);
        return setUpWindowGame(*rig, &error);
    };
    if (!fresh()) return state.SkipWithError(error.c_str());
    Samples samples;
    int games = 1, stalled = 0, unchanged = 0, unpainted = 0;
    // Paints of each chart and of the strip over the presses that changed
    // them: one each is the least a press can cost, more is waste.
    long long leftPaints = 0, rightPaints = 0, stripPaints = 0, changedPresses = 0;
    for (auto _ : state) {
        if (rig->pressesLeft() <= 0) {
            state.PauseTiming();
            ++games;
            if (!fresh()) return state.SkipWithError(error.c_str());
            state.ResumeTiming();
        }
        const int before = rig->game.state().clock.periodIndex();
        bool changed = false;
        const auto t0 = Samples::start();
        const bool painted = pressForward(*rig, &changed);
        samples.stop(t0);
        if (rig->game.state().clock.periodIndex() != before + 1) ++stalled;
        if (!changed) ++unchanged;
        if (!painted) ++unpainted;
        if (changed) {
            ++changedPresses;
            leftPaints += rig->paints.paints(rig->left);
            rightPaints += rig->paints.paints(rig->right);
            stripPaints += rig->strip ? rig->paints.paints(rig->strip) : 0;
        }
    }
    if (changedPresses > 0) {
        const double n = double(changedPresses);
        state.counters["left_paints_per_press"] = double(leftPaints) / n;
        state.counters["right_paints_per_press"] = double(rightPaints) / n;
        state.counters["strip_paints_per_press"] = double(stripPaints) / n;
        record(figure + ".paints", double(std::max({leftPaints, rightPaints, stripPaints})) / n);
    }
    if (stalled > 0) state.counters["not_advanced"] = stalled;
    // Presses after which a chart showed the same as before need no redraw.
    if (unchanged > 0) state.counters["charts_unchanged"] = unchanged;
    if (unpainted > 0) state.counters["paint_timeouts"] = unpainted;
    state.counters["games"] = games;
    samples.publish(state, figure);
}

void BM_Forward_Window_Daily(benchmark::State& state) { forwardInWindow(state, dailyYear(), "forward.window.daily"); }
void BM_Forward_Window_Tick(benchmark::State& state) { forwardInWindow(state, tickQuarter(), "forward.window.tick"); }

// The floor of a press in the window: plain Qt Charts views of the game's
// chart size redrawing the same candles and lines the game's charts show,
// press after press, with no game, no table and no labels of our own.
// The strip's floor: six polylines of the same closes on a plain widget.
class BareStrip : public QWidget {
public:
    void draw(const QList<charts::MarketGlance>& glances) {
        glances_ = glances;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const double w = double(width()) / 6;
        for (qsizetype i = 0; i < glances_.size(); ++i) {
            const charts::MarketGlance& g = glances_.at(i);
            p.drawText(QRectF(i * w, 0, w, height() / 2.0), Qt::AlignLeft, g.name + ' ' + g.last + ' ' + g.change);
            QPolygonF line;
            const double span = g.high > g.low ? g.high - g.low : 1;
            for (qsizetype k = 0; k < g.closes.size(); ++k)
                if (g.closes[k])
                    line << QPointF(i * w + w * double(k) / double(std::max<qsizetype>(1, g.closes.size() - 1)),
                                    height() - (*g.closes[k] - g.low) / span * (height() / 2.0));
            p.drawPolyline(line);
        }
    }

private:
    QList<charts::MarketGlance> glances_;
};

class BareCharts {
public:
    BareCharts(QSize leftSize, QSize rightSize, QSize stripSize = {}) {
        auto* central = new QWidget;
        auto* v = new QVBoxLayout(central);
        if (!stripSize.isEmpty()) {
            strip_ = new BareStrip;
            strip_->setFixedSize(stripSize);
            v->addWidget(strip_);
            paints_.watch(strip_);
        }
        v->addWidget(make(left_, leftSize));
        v->addWidget(make(right_, rightSize));
        window_.setCentralWidget(central);
        window_.resize(ui::twipsToPixelsX(kWindowWidthTwips, &window_),
                       ui::twipsToPixelsY(kWindowHeightTwips, &window_));
        paints_.watch(left_.view->viewport());
        paints_.watch(right_.view->viewport());
    }
    void show() {
        window_.show();
        processUntilPainted(paints_, {left_.view->viewport(), right_.view->viewport()});
    }
    bool draw(const charts::ChartPair& pair, const QList<charts::MarketGlance>& strip = {}) {
        paints_.reset();
        fill(left_, pair.left);
        fill(right_, pair.right);
        QList<QWidget*> needed{left_.view->viewport(), right_.view->viewport()};
        if (strip_ && !strip.isEmpty()) {
            strip_->draw(strip);
            needed << strip_;
        }
        return processUntilPainted(paints_, needed);
    }

private:
    // The same content the game's chart shows, put into Qt Charts the plain
    // way: candles, every line, the trades' marks, the open position's line,
    // the day labels along x (thinned so they do not overlap), the y labels
    // at the data's ticks, and the key where the chart names two things.
    struct View {
        QChartView* view = nullptr;
        QCandlestickSeries* candles = nullptr;
        QList<QLineSeries*> lines;
        QScatterSeries* buys = nullptr;
        QScatterSeries* sells = nullptr;
        QLineSeries* position = nullptr;
        QCategoryAxis* x = nullptr;
        QValueAxis* candleX = nullptr; // candles take no category axis
        QCategoryAxis* y = nullptr;
    };
    static void attach(View& v, QAbstractSeries* s, QAbstractAxis* x) {
        v.view->chart()->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(v.y);
    }
    static QChartView* make(View& v, QSize size) {
        auto* chart = new QChart;
        v.view = new QChartView(chart);
        v.view->setRenderHint(QPainter::Antialiasing);
        v.view->setFixedSize(size);
        v.x = new QCategoryAxis;
        v.x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        v.candleX = new QValueAxis;
        v.candleX->setVisible(false);
        v.y = new QCategoryAxis;
        v.y->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        chart->addAxis(v.x, Qt::AlignBottom);
        chart->addAxis(v.candleX, Qt::AlignBottom);
        chart->addAxis(v.y, Qt::AlignLeft);
        v.candles = new QCandlestickSeries;
        v.candles->setName(QStringLiteral("Candles"));
        attach(v, v.candles, v.candleX);
        v.position = new QLineSeries;
        attach(v, v.position, v.x);
        v.buys = new QScatterSeries;
        v.sells = new QScatterSeries;
        attach(v, v.buys, v.x);
        attach(v, v.sells, v.x);
        for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(v.position), static_cast<QAbstractSeries*>(v.buys),
                                   static_cast<QAbstractSeries*>(v.sells)})
            for (QLegendMarker* m : chart->legend()->markers(s)) m->setVisible(false);
        return v.view;
    }
    static void fill(View& v, const charts::ChartData& d) {
        v.candles->clear();
        bool whole = false;
        if (d.style == charts::ChartData::Style::Candles) {
            QList<QCandlestickSet*> sets;
            for (qsizetype i = 0; i < d.points.size(); ++i)
                if (const auto& p = d.points.at(i).price)
                    sets << new QCandlestickSet(p->open, p->high, p->low, p->close, static_cast<double>(i));
            whole = !sets.isEmpty();
            v.candles->append(sets);
        }
        while (v.lines.size() < d.lines.size()) {
            auto* s = new QLineSeries;
            attach(v, s, v.x);
            v.lines << s;
        }
        QStringList named;
        if (whole) named << v.candles->name();
        for (qsizetype k = 0; k < v.lines.size(); ++k) {
            QList<QPointF> pts;
            if (k < d.lines.size()) {
                const auto& values = d.lines.at(k).values;
                for (qsizetype i = 0; i < values.size(); ++i)
                    if (values.at(i)) pts << QPointF(static_cast<double>(i), *values.at(i));
                v.lines[k]->setName(d.lines.at(k).name);
                if (!d.lines.at(k).name.isEmpty() && !named.contains(d.lines.at(k).name)) named << d.lines.at(k).name;
            }
            v.lines[k]->replace(pts);
        }
        QLegend* legend = v.view->chart()->legend();
        for (QLegendMarker* m : legend->markers(v.candles)) m->setVisible(whole);
        legend->setVisible(named.size() >= 2);
        QList<QPointF> buys, sells;
        for (const charts::TradeMarker& m : d.markers) (m.buy ? buys : sells) << QPointF(m.pointIndex, m.price);
        v.buys->replace(buys);
        v.sells->replace(sells);
        const double lo = -0.5, hi = std::max(1, d.xSlots) - 0.5;
        v.position->replace(d.position ? QList<QPointF>{{lo, d.position->price}, {hi, d.position->price}}
                                       : QList<QPointF>{});
        // The day labels, every so many points so that they do not overlap.
        for (const QString& l : v.x->categoriesLabels()) v.x->remove(l);
        const QFontMetricsF fm(v.x->labelsFont());
        double widest = 0;
        for (const charts::ChartPoint& p : d.points) widest = std::max(widest, fm.horizontalAdvance(p.label));
        const double perSlot = v.view->chart()->plotArea().width() / std::max(1, d.xSlots);
        const auto step =
            static_cast<qsizetype>(std::max(1.0, std::ceil((widest + fm.averageCharWidth() * 2) / perSlot)));
        QStringList used;
        for (qsizetype i = (d.points.size() - 1) % step; i >= 0 && i < d.points.size(); i += step) {
            QString label = d.points.at(i).label;
            while (used.contains(label)) label += QChar(0x200B); // category labels must differ
            used << label;
            v.x->append(label, static_cast<double>(i));
        }
        v.x->setRange(lo, hi);
        v.candleX->setRange(lo, hi);
        for (const QString& l : v.y->categoriesLabels()) v.y->remove(l);
        if (d.yMax > d.yMin) {
            v.y->setStartValue(d.yMin);
            for (qsizetype i = 0; i < d.yTicks.size() && i < d.yLabels.size(); ++i)
                v.y->append(d.yLabels.at(i), d.yTicks.at(i));
            v.y->setRange(d.yMin, d.yMax);
        }
    }

    QMainWindow window_;
    View left_, right_;
    BareStrip* strip_ = nullptr;
    PaintWatch paints_;
};

void chartsFloor(benchmark::State& state, const SetupPlan& plan, const std::string& figure) {
    // What the game's charts show after each press of one game, and their size.
    QList<charts::ChartPair> frames;
    QList<QList<charts::MarketGlance>> strips;
    QSize leftSize, rightSize, stripSize;
    {
        WindowRig sizes(plan);
        sizes.window.show();
        QCoreApplication::processEvents();
        leftSize = sizes.window.widget(QStringLiteral("GraphLeft"))->size();
        rightSize = sizes.window.widget(QStringLiteral("GraphRight"))->size();
        if (sizes.strip) stripSize = sizes.strip->size();
    }
    {
        CoreRig core;
        std::string error;
        if (!setUpCoreGame(core, plan, &error)) return state.SkipWithError(error.c_str());
        while (core.pressesLeft() > 0) {
            core.game.click(QString::fromLatin1(keys::kForward));
            frames << core.game.charts();
            strips << core.game.marketStrip();
        }
    }
    if (frames.isEmpty()) return state.SkipWithError("no frames");
    BareCharts bare(leftSize, rightSize, stripSize);
    bare.show();
    Samples samples;
    qsizetype i = 0;
    int unpainted = 0;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        if (!bare.draw(frames.at(i), strips.at(i))) ++unpainted;
        samples.stop(t0);
        i = (i + 1) % frames.size();
    }
    if (unpainted > 0) state.counters["paint_timeouts"] = unpainted;
    samples.publish(state, figure);
}

void BM_Forward_Window_Daily_BareChartsFloor(benchmark::State& state) {
    chartsFloor(state, dailyYear(), "forward.window.daily.floor");
}
void BM_Forward_Window_Tick_BareChartsFloor(benchmark::State& state) {
    chartsFloor(state, tickQuarter(), "forward.window.tick.floor");
}

// Moving the charts' view at the end of a Daily year: zoomed out to (all
// but ten of) every period, or in to the fewest rows, one key press on the
// price chart at a time. Scroll steps alternate Left and Right, zoom steps
// + and -, so every step moves the view.
struct ViewPlan {
    bool zoomedOut = false;
    bool zoom = false;
};

// The presses before the view is set, and after: the view's span stays as
// set while the game moves on, so a view zoomed out ten presses before the
// end shows all but ten periods and still has room to scroll.
constexpr int kPressesAfterView = 10;

template <typename Press, typename Move> bool playToView(int pressesLeft, const ViewPlan& v, Press press, Move move) {
    for (int n = pressesLeft - kPressesAfterView; n > 0; --n)
        if (!press()) return false;
    move(charts::ViewMove::Zoom, v.zoomedOut ? -20 : 20);
    for (int n = kPressesAfterView; n > 0; --n)
        if (!press()) return false;
    return true;
}

int stepKey(const ViewPlan& v, long long i) {
    if (v.zoom)
        return i % 2 == 0 ? (v.zoomedOut ? Qt::Key_Plus : Qt::Key_Minus) : (v.zoomedOut ? Qt::Key_Minus : Qt::Key_Plus);
    return i % 2 == 0 ? Qt::Key_Left : Qt::Key_Right;
}

void viewSteps(benchmark::State& state, const ViewPlan& v, const std::string& figure) {
    WindowRig rig(dailyYear());
    std::string error;
    if (!setUpWindowGame(rig, &error)) return state.SkipWithError(error.c_str());
    if (!playToView(
            rig.pressesLeft(), v, [&] { return pressForward(rig); },
            [&](charts::ViewMove m, int amount) { rig.game.moveChartView(m, amount); }))
        return state.SkipWithError("a press did not paint");
    QCoreApplication::processEvents();
    Samples samples;
    long long i = 0, unpainted = 0, leftPaints = 0, rightPaints = 0;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        if (!stepChartView(rig, stepKey(v, i++))) ++unpainted;
        samples.stop(t0);
        leftPaints += rig.paints.paints(rig.left);
        rightPaints += rig.paints.paints(rig.right);
    }
    state.counters["rows"] = rig.game.charts().left.rows.count();
    state.counters["left_paints_per_step"] = double(leftPaints) / double(std::max(1LL, i));
    state.counters["right_paints_per_step"] = double(rightPaints) / double(std::max(1LL, i));
    if (unpainted > 0) state.counters["paint_timeouts"] = double(unpainted);
    samples.publish(state, figure);
}

// The floor: the same charts, step after step, in plain Qt Charts views.
void viewStepsFloor(benchmark::State& state, const ViewPlan& v, const std::string& figure) {
    QSize leftSize, rightSize;
    {
        WindowRig sizes(dailyYear());
        sizes.window.show();
        QCoreApplication::processEvents();
        leftSize = sizes.window.widget(QStringLiteral("GraphLeft"))->size();
        rightSize = sizes.window.widget(QStringLiteral("GraphRight"))->size();
    }
    CoreRig core;
    std::string error;
    if (!setUpCoreGame(core, dailyYear(), &error)) return state.SkipWithError(error.c_str());
    playToView(
        core.pressesLeft(), v,
        [&] {
            core.game.click(QString::fromLatin1(keys::kForward));
            return true;
        },
        [&](charts::ViewMove m, int amount) { core.game.moveChartView(m, amount); });
    // Two steps bring the view back: the frames of both, drawn in turn.
    QList<charts::ChartPair> frames;
    for (int k = 0; k < 2; ++k) {
        const int key = stepKey(v, k);
        const charts::ViewMove move = v.zoom ? charts::ViewMove::Zoom : charts::ViewMove::Scroll;
        core.game.moveChartView(move, key == Qt::Key_Left || key == Qt::Key_Minus ? -1 : 1);
        frames << core.game.charts();
    }
    BareCharts bare(leftSize, rightSize);
    bare.show();
    bare.draw(frames.at(1));
    Samples samples;
    long long i = 0;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        bare.draw(frames.at(i++ % 2));
        samples.stop(t0);
    }
    samples.publish(state, figure);
}

void BM_View_Scroll_Out(benchmark::State& s) { viewSteps(s, {true, false}, "view.scroll.out"); }
void BM_View_Scroll_Out_Floor(benchmark::State& s) { viewStepsFloor(s, {true, false}, "view.scroll.out.floor"); }
void BM_View_Scroll_In(benchmark::State& s) { viewSteps(s, {false, false}, "view.scroll.in"); }
void BM_View_Scroll_In_Floor(benchmark::State& s) { viewStepsFloor(s, {false, false}, "view.scroll.in.floor"); }
void BM_View_Zoom_Out(benchmark::State& s) { viewSteps(s, {true, true}, "view.zoom.out"); }
void BM_View_Zoom_Out_Floor(benchmark::State& s) { viewStepsFloor(s, {true, true}, "view.zoom.out.floor"); }
void BM_View_Zoom_In(benchmark::State& s) { viewSteps(s, {false, true}, "view.zoom.in"); }
void BM_View_Zoom_In_Floor(benchmark::State& s) { viewStepsFloor(s, {false, true}, "view.zoom.in.floor"); }

// Peak memory is per process, so each figure comes from a fresh one.
void peakRss(benchmark::State& state, const char* what, const std::string& figure) {
    for (auto _ : state) {
        const QStringList out = runProbe({"--probe", "rss", QString::fromLatin1(what)}, 120000, true).split(' ');
        bool ok = false;
        const double mb = out.value(0).toDouble(&ok);
        if (!ok || out.size() < 4) return state.SkipWithError("the memory probe failed");
        state.SetIterationTime(out.value(3).toDouble() / 1e9);
        state.counters["peak_rss_MB"] = mb;
        state.counters["VmHWM_MB"] = out.value(1).toDouble();
        if (out.value(2).toInt() > 0) state.counters["presses"] = out.value(2).toInt();
        record(figure, mb);
    }
}

void BM_PeakRss_DailyYearGame_Window(benchmark::State& state) { peakRss(state, "game", "rss.game"); }
void BM_PeakRss_BareWindow(benchmark::State& state) { peakRss(state, "bare", "rss.bare"); }

// --- the child processes -------------------------------------------------

int probeStartup(const char* what, std::int64_t launchedNs) {
    // The program's own start: the application and its style, then the window.
    static int argc = 1;
    static char name[] = "pellucar-bench";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellucar"));
    // The game's window in the game's look; the floors are plain Qt windows
    // in the style alone.
    if (std::strcmp(what, "window") == 0) ui::setUpLook();
    else QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Up to the first paint, which is where the player sees the window: what
    // is made after it (the main window's report grids) is left out.
    std::int64_t elapsed = -1;
    const auto firstPaint = [&] {
        if (elapsed >= 0) return;
        elapsed = monotonicNs() - launchedNs;
        // Under callgrind the instructions up to here are a dump of their own.
        CALLGRIND_DUMP_STATS_AT("first paint");
    };
    bool ok = false;
    std::unique_ptr<WindowRig> rig;
    std::unique_ptr<BareWindow> bare;
    std::unique_ptr<FairWindow> fair;
    std::unique_ptr<FirstPaint> hook;
    if (std::strcmp(what, "window") == 0) {
        rig = std::make_unique<WindowRig>(dailyYear());
        QObject::connect(&rig->window, &ui::Kestrow::firstPainted, firstPaint);
        ok = startWindow(*rig);
    } else if (std::strcmp(what, "fair") == 0) {
        fair = std::make_unique<FairWindow>();
        hook = std::make_unique<FirstPaint>(fair->central, firstPaint);
        ok = fair->show();
    } else {
        bare = std::make_unique<BareWindow>();
        hook = std::make_unique<FirstPaint>(bare->central, firstPaint);
        ok = bare->show();
    }
    QElapsedTimer wait;
    wait.start();
    while (ok && elapsed < 0 && wait.elapsed() < 1000) QCoreApplication::processEvents();
    if (!ok || elapsed < 0) return 1;
    std::printf("%lld\n", static_cast<long long>(elapsed));
    return 0;
}

int probeRss(const char* what) {
    static int argc = 1;
    static char name[] = "pellucar-bench";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    if (std::strcmp(what, "game") == 0) ui::setUpLook();
    else QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const auto t0 = Clock::now();
    int presses = 0;
    if (std::strcmp(what, "game") == 0) {
        // A whole Expert year of daily data played through the window, six
        // positions held, every press painted, to the end-of-game window.
        WindowRig rig(dailyYear());
        std::string error;
        if (!setUpWindowGame(rig, &error)) {
            std::fprintf(stderr, "pellucar-bench: %s\n", error.c_str());
            return 1;
        }
        while (rig.dialogs.gameOvers == 0 && !rig.game.ended() && presses < 400) {
            pressForward(rig);
            ++presses;
        }
        if (rig.dialogs.gameOvers == 0) return 1;
    } else {
        BareWindow bare;
        if (!bare.show()) return 1;
    }
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - t0).count();
    std::printf("%.1f %.1f %d %lld\n", peakRssMb(), highWaterMb(), presses, static_cast<long long>(ns));
    return 0;
}

} // namespace

int runChildProbe(int argc, char** argv) {
    if (argc >= 5 && std::strcmp(argv[2], "startup") == 0) return probeStartup(argv[3], std::atoll(argv[4]));
    if (argc >= 4 && std::strcmp(argv[2], "rss") == 0) return probeRss(argv[3]);
    std::fprintf(stderr, "pellucar-bench: unknown probe\n");
    return 2;
}

void registerStartupBenchmarks() {
    benchmark::RegisterBenchmark("Startup/Window/Process", BM_Startup_Window_Process)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(kColdStarts);
    benchmark::RegisterBenchmark("Startup/FairFloor/Process", BM_Startup_FairFloor_Process)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(kColdStarts);
    benchmark::RegisterBenchmark("Startup/BareWindow/Process", BM_Startup_BareWindow_Process)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(kColdStarts);
    benchmark::RegisterBenchmark("Startup/Window/InProcess", BM_Startup_Window_InProcess)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Startup/FairFloor/InProcess", BM_Startup_FairFloor_InProcess)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Startup/BareWindow/InProcess", BM_Startup_BareWindow_InProcess)
        ->Unit(benchmark::kMillisecond);
}

void registerWindowForwardBenchmarks(int dailyPresses, int tickPresses) {
    // One whole game each: a press here costs milliseconds.
    benchmark::RegisterBenchmark("Forward/Window/Daily", BM_Forward_Window_Daily)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(dailyPresses);
    benchmark::RegisterBenchmark("Forward/Window/Daily/BareChartsFloor", BM_Forward_Window_Daily_BareChartsFloor)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(dailyPresses);
    benchmark::RegisterBenchmark("Forward/Window/Tick", BM_Forward_Window_Tick)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(tickPresses);
    benchmark::RegisterBenchmark("Forward/Window/Tick/BareChartsFloor", BM_Forward_Window_Tick_BareChartsFloor)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(tickPresses);
}

void registerChartViewBenchmarks() {
    const std::pair<const char*, void (*)(benchmark::State&)> benches[] = {
        {"ChartView/Scroll/ZoomedOut", BM_View_Scroll_Out},
        {"ChartView/Scroll/ZoomedOut/BareChartsFloor", BM_View_Scroll_Out_Floor},
        {"ChartView/Scroll/ZoomedIn", BM_View_Scroll_In},
        {"ChartView/Scroll/ZoomedIn/BareChartsFloor", BM_View_Scroll_In_Floor},
        {"ChartView/Zoom/ZoomedOut", BM_View_Zoom_Out},
        {"ChartView/Zoom/ZoomedOut/BareChartsFloor", BM_View_Zoom_Out_Floor},
        {"ChartView/Zoom/ZoomedIn", BM_View_Zoom_In},
        {"ChartView/Zoom/ZoomedIn/BareChartsFloor", BM_View_Zoom_In_Floor},
    };
    for (const auto& [name, fn] : benches)
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->Iterations(kViewSteps);
}

void registerMemoryBenchmarks() {
    benchmark::RegisterBenchmark("PeakRss/DailyYearGame/Window", BM_PeakRss_DailyYearGame_Window)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);
    benchmark::RegisterBenchmark("PeakRss/BareWindow", BM_PeakRss_BareWindow)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);
}

} // namespace pellucar::bench
