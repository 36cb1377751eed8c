#include "bench_support.h"

#include "app/view/control_table.h"
#include "trading/contract_terms.h"
#include "ui/chart_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <map>

#ifndef PELLUCAR_BENCH_DATA_DIR
#define PELLUCAR_BENCH_DATA_DIR "data"
#endif

namespace pellucar::bench {

namespace {

std::map<std::string, double>& figures() {
    static std::map<std::string, double> f;
    return f;
}

// The six market buttons of the trading desk, in trading order.
const char* const kMarketButtons[] = {"btnOil", "btnGold", "btnTBond", "btnSp500", "btnCattle", "btnSoybean"};

// Contracts bought in each market: enough to move the account every period;
// two of each bring a margin call in 1994, whose presses are another action.
const char* const kUnits = "1";

bool holdsAllMarkets(const Game& game, std::string* error) {
    for (Market m : kTradingOrder) {
        if (game.state().desk.account.position(m) == 0) {
            *error = "no position in " + marketName(m).toStdString() + " after buying it";
            return false;
        }
    }
    return true;
}

} // namespace

QString databasePath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/futures.mdb"); }

QString dataDir() { return QStringLiteral(PELLUCAR_BENCH_DATA_DIR); }

namespace {

std::int64_t threadCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

} // namespace

Samples::Start Samples::start() {
    Start s;
    s.cpuNs = threadCpuNs();
    s.wall = Clock::now();
    return s;
}

void Samples::stop(const Start& s) {
    const auto wall = Clock::now() - s.wall;
    cpuNs_.push_back(static_cast<double>(threadCpuNs() - s.cpuNs));
    add(wall);
}

void Samples::add(Clock::duration d) {
    wallNs_.push_back(static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()));
}

double Samples::quantileNs(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    const auto k = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
    return v[k];
}

void Samples::publish(benchmark::State& state, const std::string& figure) const {
    const double median = quantileNs(wallNs_, 0.5);
    state.counters["median_us"] = benchmark::Counter(median / 1e3);
    state.counters["p90_us"] = benchmark::Counter(quantileNs(wallNs_, 0.9) / 1e3);
    if (!cpuNs_.empty()) {
        const double cpu = quantileNs(cpuNs_, 0.5);
        state.counters["cpu_median_us"] = benchmark::Counter(cpu / 1e3);
        record(figure + ".cpu", cpu);
    }
    record(figure, median);
}

void record(const std::string& figure, double value) { figures()[figure] = value; }

std::optional<double> recorded(const std::string& figure) {
    const auto it = figures().find(figure);
    if (it == figures().end()) return std::nullopt;
    return it->second;
}

int pressLimit(const Game& game) {
    const GameState& s = game.state();
    // The last presses bring the final-day notice and the end of the game:
    // windows, not the usual move to the next period, so they are left out.
    if (s.clock.dataMode() == DataMode::Tick) return s.clock.tradingDayCount() * 6 - 8;
    return std::min(s.clock.lengthPeriods(), s.clock.tradingDayCount()) - 4;
}

SetupPlan dailyYear() { return SetupPlan{}; }

SetupPlan tickQuarter() {
    SetupPlan p;
    p.length = QStringLiteral("Quarter");
    p.data = QStringLiteral("Tick");
    p.month = 1;
    p.year = 1996;
    return p;
}

// --- the core game ---------------------------------------------------------

CoreRig::CoreRig() : game(dialogs, random, databasePath()) {}

bool setUpCoreGame(CoreRig& rig, const SetupPlan& plan, std::string* error) {
    Game& g = rig.game;
    g.startUp();
    if (g.ended()) {
        *error = "the game ended at start-up (is futures.mdb beside the program?)";
        return false;
    }
    rig.dialogs.queueSetup({{"level", plan.level},
                            {"length", plan.length},
                            {"data", plan.data},
                            {"period", "select"},
                            {"month", QString::number(plan.month)},
                            {"year", QString::number(plan.year)},
                            {"rules", plan.rules}});
    g.click(QString::fromLatin1(keys::kNewGame));
    g.click(QString::fromLatin1(keys::kForward));
    if (g.state().clock.periodIndex() != 1) {
        *error = "the first Forward did not start the game";
        return false;
    }
    for (int i = 0; i < plan.workingOrders; ++i) {
        // Buys at half the price, a tick apart, alternately in Oil and Gold.
        const Market m = i % 2 == 0 ? Market::Oil : Market::Gold;
        const double half = nearestTick(m, g.state().prices.current.get(m) / 2) - (i / 2) * contractTerms(m).tick;
        if (!g.placeOrder(OrderRequest{m, Side::Buy, 1, OrderType::Limit, half}).isEmpty()) {
            *error = "a working order was refused";
            return false;
        }
    }
    for (const char* button : kMarketButtons) {
        g.click(QString::fromLatin1(keys::kTrade));
        g.click(QString::fromLatin1(button));
        g.click(QStringLiteral("btnBuy"));
        g.setText(QStringLiteral("inputUnits"), QString::fromLatin1(kUnits));
        g.keyPress(QStringLiteral("inputUnits"), Key::Enter);
        g.click(QStringLiteral("btnYes"));
    }
    rig.dialogs.clearTranscript();
    return holdsAllMarkets(g, error);
}

// --- the window ------------------------------------------------------------

void WindowDialogs::press(QDialog* d, const QString& button) {
    if (auto* b = d->findChild<QAbstractButton*>(button)) b->click();
    else d->accept();
}

int WindowDialogs::run(QDialog* d) {
    // As the real run() does before showing it: the main window brought up
    // to date and the window coloured. Then it is answered at once.
    prepare(d);
    d->setResult(QDialog::Rejected);
    const QString name = d->objectName();
    if (name == QLatin1String("frmDisclaimer")) {
        press(d, QStringLiteral("btnClose"));
    } else if (name == QLatin1String("frmTimePeriod")) {
        press(d, setup.data == QLatin1String("Tick") ? QStringLiteral("OptTick") : QStringLiteral("OptDaily"));
        press(d, setup.level == QLatin1String("Novice") ? QStringLiteral("OptNovice") : QStringLiteral("OptExpert"));
        press(d, QStringLiteral("Opt") + setup.length);
        press(d, QStringLiteral("OptAnnual"));
        press(d, QStringLiteral("optSelect_0"));
        auto* months = d->findChild<QComboBox*>(QStringLiteral("Combo1"));
        auto* years = d->findChild<QComboBox*>(QStringLiteral("Combo2"));
        if (months && months->isVisibleTo(d)) emit months->activated(setup.month - 1);
        if (years) emit years->activated(years->findText(QString::number(setup.year)));
        press(d, QStringLiteral("cmdBegin"));
    } else if (name == QLatin1String("frmLevelSelected")) {
        press(d, QStringLiteral("cmdBegin"));
    } else if (name == QLatin1String("frmEndofGame")) {
        ++gameOvers;
        press(d, QStringLiteral("btnContinue"));
    } else if (name == QLatin1String("frmGameOver")) {
        ++gameOvers;
        press(d, QStringLiteral("btnPlayAgain"));
    } else if (name == QLatin1String("frmPlayerNotification")) {
        press(d, QStringLiteral("btnOkay"));
    } else if (name == QLatin1String("frmNewsDisplay")) {
        press(d, QStringLiteral("btnclose"));
    } else if (name == QLatin1String("frmTradeConfirmation") || name == QLatin1String("frmScreenColor")) {
        press(d, QStringLiteral("Command1"));
    } else if (name == QLatin1String("frmAboutKestrow") || name == QLatin1String("frmCustom") ||
               name == QLatin1String("frmCommiss") || name == QLatin1String("frmCommoditySelect")) {
        press(d, QStringLiteral("cmdOK"));
    } else {
        d->accept();
    }
    return d->result();
}

void PaintWatch::watch(QWidget* w) {
    if (paints_.contains(w)) return;
    w->installEventFilter(this);
    paints_.insert(w, 0);
}

void PaintWatch::reset() {
    for (auto it = paints_.begin(); it != paints_.end(); ++it) it.value() = 0;
}

bool PaintWatch::painted(QWidget* w) const { return paints_.value(w) > 0; }

bool PaintWatch::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Paint) {
        const auto it = paints_.find(watched);
        if (it != paints_.end()) ++it.value();
    }
    return false;
}

bool processUntilPainted(const PaintWatch& watch, const QList<QWidget*>& needed) {
    QElapsedTimer t;
    t.start();
    const auto done = [&] {
        return std::all_of(needed.cbegin(), needed.cend(), [&](QWidget* w) { return watch.painted(w); });
    };
    while (!done()) {
        if (t.elapsed() > 1000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return true;
}

WindowRig::WindowRig(const SetupPlan& plan) : game(dialogs, random, databasePath()), window(game, dialogs) {
    dialogs.setup = plan;
    dialogs.setMainWindow(&window);
    watchCharts();
}

void WindowRig::watchCharts() {
    const auto surface = [this](const char* key) -> QWidget* {
        auto* pane = static_cast<ui::GameChartView*>(window.widget(QString::fromLatin1(key)));
        return pane->canvas() ? pane->canvas()->viewport() : pane;
    };
    left = surface("GraphLeft");
    right = surface("GraphRight");
    strip = window.findChild<QWidget*>(QStringLiteral("marketStrip"));
    paints.watch(left);
    paints.watch(right);
    if (strip) paints.watch(strip);
}

WindowRig::~WindowRig() { dialogs.setMainWindow(nullptr); }

bool setUpWindowGame(WindowRig& rig, std::string* error) {
    ui::Kestrow& w = rig.window;
    w.show();
    w.startUp();
    if (rig.game.ended()) {
        *error = "the game ended at start-up (is futures.mdb beside the program?)";
        return false;
    }
    rig.paints.reset();
    processUntilPainted(rig.paints, {rig.left, rig.right});
    w.action(QString::fromLatin1(keys::kNewGame))->trigger();
    QCoreApplication::processEvents();
    if (!pressForward(rig) || rig.game.state().clock.periodIndex() != 1) {
        *error = "the first Forward did not start the game";
        return false;
    }
    auto button = [&](const char* key) {
        auto* b = qobject_cast<QPushButton*>(w.widget(QString::fromLatin1(key)));
        if (b) b->click();
    };
    auto* units = qobject_cast<QLineEdit*>(w.widget(QStringLiteral("inputUnits")));
    for (const char* market : kMarketButtons) {
        button(keys::kTrade);
        button(market);
        button("btnBuy");
        // Typed as a player would: the box hears the keys and the window
        // forwards the edit and the Enter to the game.
        for (const char* c = kUnits; *c; ++c) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (*c - '0'), Qt::NoModifier, QString(QLatin1Char(*c)));
            QCoreApplication::sendEvent(units, &press);
        }
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(units, &enter);
        button("btnYes");
        QCoreApplication::processEvents();
    }
    return holdsAllMarkets(rig.game, error);
}

bool pressForward(WindowRig& rig, bool* chartsChanged) {
    auto* forward = qobject_cast<QPushButton*>(rig.window.widget(QString::fromLatin1(keys::kForward)));
    const charts::ChartPair before = rig.game.charts(); // shares the data, copies nothing
    const QList<charts::MarketGlance> strip = rig.game.marketStrip();
    rig.paints.reset();
    forward->click();
    rig.watchCharts(); // a game's first period makes the drawings
    QList<QWidget*> needed;
    if (!(rig.game.charts().left == before.left)) needed << rig.left;
    if (!(rig.game.charts().right == before.right)) needed << rig.right;
    if (chartsChanged) *chartsChanged = needed.size() == 2;
    if (rig.strip && !(rig.game.marketStrip() == strip)) needed << rig.strip;
    return processUntilPainted(rig.paints, needed);
}

bool stepChartView(WindowRig& rig, int key) {
    QWidget* pane = rig.window.widget(QStringLiteral("GraphLeft"));
    const charts::ChartPair before = rig.game.charts();
    rig.paints.reset();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(pane, &press);
    QList<QWidget*> needed;
    if (!(rig.game.charts().left == before.left)) needed << rig.left;
    if (!(rig.game.charts().right == before.right)) needed << rig.right;
    return processUntilPainted(rig.paints, needed);
}

int pressesPerGame(const SetupPlan& plan) {
    CoreRig rig;
    std::string error;
    if (!setUpCoreGame(rig, plan, &error)) return 0;
    return std::max(0, rig.pressesLeft());
}

double highWaterMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double peakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0; // kilobytes on Linux
}

} // namespace pellucar::bench
