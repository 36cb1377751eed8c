// One press of Forward in the core game: an Expert game holding positions
// in all six markets, so the press revalues a full account, and both charts
// composed as the window reads them after the press. Every timed press is a real move to the next period; a game near
// its end is replaced by a fresh one outside the timed region.
#include "app/view/control_table.h"
#include "bench_support.h"

namespace pellucar::bench {

// One timed press: Forward and both charts composed from it, as the window
// reads them. Kept out of line so that callgrind can count it by name
// (--toggle-collect='pellucar::bench::pressForwardInCore*').
[[gnu::noinline]] void pressForwardInCore(Game& game) {
    game.click(QString::fromLatin1(keys::kForward));
    benchmark::DoNotOptimize(game.charts());
}

namespace {

void forwardInCore(benchmark::State& state, const SetupPlan& plan, const std::string& figure) {
    std::unique_ptr<CoreRig> rig;
    std::string error;
    auto fresh = [&] {
        rig = std::make_unique<CoreRig>();
        return setUpCoreGame(*rig, plan, &error);
    };
    if (!fresh()) return state.SkipWithError(error.c_str());
    Samples samples;
    int games = 1, stalled = 0;
    for (auto _ : state) {
        if (rig->pressesLeft() <= 0) {
            state.PauseTiming();
            ++games;
            if (!fresh()) return state.SkipWithError(error.c_str());
            state.ResumeTiming();
        }
        const int before = rig->game.state().clock.periodIndex();
        const auto t0 = Samples::start();
        pressForwardInCore(rig->game);
        samples.stop(t0);
        if (rig->game.state().clock.periodIndex() != before + 1) ++stalled;
    }
    // A press that did not advance (a margin call's liquidation) would be a
    // different action; none is expected with these positions.
    if (stalled > 0) state.counters["not_advanced"] = stalled;
    state.counters["games"] = games;
    samples.publish(state, figure);
}

void BM_Forward_Core_Daily(benchmark::State& state) { forwardInCore(state, dailyYear(), "forward.core.daily"); }
void BM_Forward_Core_Tick(benchmark::State& state) { forwardInCore(state, tickQuarter(), "forward.core.tick"); }

// Trainer rules: the same press with no working orders and with 200 of them;
// the second may cost at most 1.10 times the first.
SetupPlan trainerYear(int orders) {
    SetupPlan p = dailyYear();
    p.rules = QStringLiteral("Trainer");
    p.workingOrders = orders;
    return p;
}
void BM_Forward_Core_Trainer0(benchmark::State& state) {
    forwardInCore(state, trainerYear(0), "forward.core.trainer0");
}
void BM_Forward_Core_Trainer200(benchmark::State& state) {
    forwardInCore(state, trainerYear(200), "forward.core.trainer200");
}

// Whole games, several of them: a press costs microseconds.
constexpr int kCoreGames = 4;

} // namespace

void registerCoreForwardBenchmarks(int dailyPresses, int tickPresses) {
    benchmark::RegisterBenchmark("Forward/Core/Daily", BM_Forward_Core_Daily)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(kCoreGames * dailyPresses);
    benchmark::RegisterBenchmark("Forward/Core/Tick", BM_Forward_Core_Tick)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(kCoreGames * tickPresses);
    benchmark::RegisterBenchmark("Forward/Core/Trainer0", BM_Forward_Core_Trainer0)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(kCoreGames * dailyPresses);
    benchmark::RegisterBenchmark("Forward/Core/Trainer200", BM_Forward_Core_Trainer200)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(kCoreGames * dailyPresses);
}

} // namespace pellucar::bench
