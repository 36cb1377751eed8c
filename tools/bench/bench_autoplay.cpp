// Auto-play at its fastest pace through the real main window: the periods
// a second it plays with both charts drawn, and the longest a player's input
// waits for the window meanwhile.
#include "app/view/control_table.h"
#include "bench_support.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <utility>

namespace pellucar::bench {
namespace {

// Periods played per run: enough for the later, longer charts of a game.
// PELLUCAR_BENCH_PERIODS plays another number with no time limit, for
// counting instructions under valgrind over the same periods every time.
constexpr int kPeriods = 200;
int periodsToPlay() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("PELLUCAR_BENCH_PERIODS", &ok);
    return ok && n > 0 ? n : kPeriods;
}

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// Input arriving from outside at any moment: a thread posts a stamped event
// every 2 ms, as a mouse or keyboard would, and the window's thread notes
// how long each waited for the event loop.
class InputProbe : public QObject {
public:
    struct Stamp : QEvent {
        explicit Stamp(std::int64_t at) : QEvent(QEvent::User), ns(at) {}
        std::int64_t ns;
    };
    InputProbe() {
        poster_ = std::thread([this] {
            while (!stop_) {
                QCoreApplication::postEvent(this, new Stamp(nowNs()));
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    ~InputProbe() override {
        stop_ = true;
        poster_.join();
        QCoreApplication::removePostedEvents(this);
    }
    std::int64_t worstNs = 0;
    int answered = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        worstNs = std::max(worstNs, nowNs() - static_cast<Stamp*>(e)->ns);
        ++answered;
        return true;
    }

private:
    std::atomic<bool> stop_{false};
    std::thread poster_;
};

// What the window repaints: the pixels of each repaint of the window (the
// union of its widgets' paint regions between two update requests), which
// is what goes to the display. With PELLUCAR_BENCH_REPAINTS set it also
// prints each widget's share.
class RepaintWatch : public QObject {
public:
    explicit RepaintWatch(QWidget* window)
        : window_(window), perWidget_(qEnvironmentVariableIsSet("PELLUCAR_BENCH_REPAINTS")) {
        qApp->installEventFilter(this);
    }
    ~RepaintWatch() override { qApp->removeEventFilter(this); }
    double pixels() {
        close();
        return pixels_;
    }
    void print(int periods) const {
        for (const auto& [name, pixels] : byWidget_)
            std::fprintf(stderr, "%10.1f kpx a period  %s\n", pixels / 1000.0 / std::max(periods, 1), qPrintable(name));
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::UpdateRequest && o == window_) close();
        if (e->type() != QEvent::Paint || !o->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(o);
        if (w->window() != window_) return false;
        const QRegion r = static_cast<QPaintEvent*>(e)->region().translated(w->mapTo(window_, QPoint()));
        region_ += r;
        if (perWidget_) {
            // Named as it first paints: a widget may be gone by the end.
            auto it = byWidget_.find(w);
            if (it == byWidget_.end()) {
                const QRect at(w->mapTo(window_, QPoint()), w->size());
                it = byWidget_.insert(w, {QStringLiteral("%1 %2 at %3,%4 %5x%6")
                                              .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                                              .arg(at.x())
                                              .arg(at.y())
                                              .arg(at.width())
                                              .arg(at.height()),
                                          0.0});
            }
            it->second += area(r);
        }
        return false;
    }

private:
    static double area(const QRegion& r) {
        double a = 0;
        for (const QRect& rect : r) a += double(rect.width()) * rect.height();
        return a;
    }
    void close() {
        pixels_ += area(region_);
        region_ = {};
    }
    QWidget* window_;
    const bool perWidget_;
    QHash<const QWidget*, std::pair<QString, double>> byWidget_;
    QRegion region_;
    double pixels_ = 0;
};

void autoPlayFastest(benchmark::State& state, const SetupPlan& plan, const std::string& figure) {
    for (auto _ : state) {
        state.PauseTiming();
        WindowRig rig(plan);
        std::string error;
        if (!setUpWindowGame(rig, &error)) return state.SkipWithError(error.c_str());
        rig.window.action(QStringLiteral("mnuSpeed_4"))->trigger();
        auto* play = qobject_cast<QPushButton*>(rig.window.widget(QString::fromLatin1(keys::kAutoPlay)));
        rig.watchCharts();
        rig.paints.reset();
        const int first = rig.game.state().clock.periodIndex();
        const int last = first + std::min(periodsToPlay(), rig.pressesLeft());
        const qint64 timeLimitMs = qEnvironmentVariableIsSet("PELLUCAR_BENCH_PERIODS") ? 3600000 : 60000;
        int restarts = 0;
        state.ResumeTiming();

        InputProbe probe;
        RepaintWatch repaints(&rig.window);
        const Samples::Start t0 = Samples::start();
        QElapsedTimer limit;
        limit.start();
        // Play is pressed again after each window the game stopped at (a
        // hint, a story, a notice), as a player would.
        while (rig.game.state().clock.periodIndex() < last && limit.elapsed() < timeLimitMs) {
            if (!rig.game.autoPlay().running()) {
                ++restarts;
                play->click();
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        }
        rig.window.action(QString::fromLatin1(keys::kAutoPlayItem))->trigger(); // Pause
        const Samples::Start t1 = Samples::start();
        QCoreApplication::processEvents();

        const int periods = rig.game.state().clock.periodIndex() - first;
        const double wallS = std::chrono::duration<double>(t1.wall - t0.wall).count();
        const double cpuS = double(t1.cpuNs - t0.cpuNs) / 1e9;
        const int drawn = std::min(rig.paints.paints(rig.left), rig.paints.paints(rig.right));
        state.counters["periods"] = periods;
        state.counters["per_s_wall"] = periods / wallS;
        state.counters["per_s_cpu"] = cpuS > 0 ? periods / cpuS : 0;
        // Paints of the chart painted less often, per period: 1 or more
        // means every period was drawn in both charts.
        state.counters["charts_drawn_per_period"] = periods > 0 ? double(drawn) / periods : 0;
        // Each chart's and the strip's own paints a period: 1.00 is one paint
        // of each per period, more is waste.
        if (periods > 0) {
            state.counters["left_paints_per_period"] = double(rig.paints.paints(rig.left)) / periods;
            state.counters["right_paints_per_period"] = double(rig.paints.paints(rig.right)) / periods;
            if (rig.strip) state.counters["strip_paints_per_period"] = double(rig.paints.paints(rig.strip)) / periods;
        }
        // The window's pixels repainted a period, in thousands.
        if (periods > 0) state.counters["window_kpx_per_period"] = repaints.pixels() / 1000.0 / periods;
        repaints.print(periods);
        state.counters["input_worst_ms"] = probe.worstNs / 1e6;
        state.counters["inputs"] = probe.answered;
        state.counters["plays"] = restarts;
        record(figure, periods / wallS);
        if (cpuS > 0) record(figure + ".cpu", periods / cpuS);
        record(figure + ".wait", double(probe.worstNs));
        record(figure + ".drawn", periods > 0 ? double(drawn) / periods : 0);
    }
}

void BM_AutoPlay_Window_Daily(benchmark::State& state) { autoPlayFastest(state, dailyYear(), "autoplay.daily"); }
void BM_AutoPlay_Window_Tick(benchmark::State& state) { autoPlayFastest(state, tickQuarter(), "autoplay.tick"); }

} // namespace

void registerAutoPlayBenchmarks() {
    benchmark::RegisterBenchmark("AutoPlay/Window/Fastest/Daily", BM_AutoPlay_Window_Daily)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("AutoPlay/Window/Fastest/Tick", BM_AutoPlay_Window_Tick)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

} // namespace pellucar::bench
