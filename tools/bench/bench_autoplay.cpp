// Auto-play at its fastest pace through the real main window: the periods
// a second it plays with both charts drawn, and the longest a player's input
// waits for the window meanwhile.
#include "app/view/control_table.h"
#include "bench_support.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPushButton>

#include <algorithm>
#include <atomic>
#include <thread>

namespace pellucar::bench {
namespace {

// Periods played per run: enough for the later, longer charts of a game.
constexpr int kPeriods = 200;

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
        const int last = first + std::min(kPeriods, rig.pressesLeft());
        int restarts = 0;
        state.ResumeTiming();

        InputProbe probe;
        const Samples::Start t0 = Samples::start();
        QElapsedTimer limit;
        limit.start();
        // Play is pressed again after each window the game stopped at (a
        // hint, a story, a notice), as a player would.
        while (rig.game.state().clock.periodIndex() < last && limit.elapsed() < 60000) {
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
