// Game > Resume of a saved Daily year holding 0 to 10,000 trades, beside a
// floor that does the least any resume must: read and decode the file, step
// the rows of the game's period load, and book every trade in an account.
// The figures at the four sizes show whether the replay grows with the
// trades as its floor does, or faster.
#include "bench_support.h"

#include "app/record/saved_game.h"
#include "app/view/control_table.h"
#include "market/database.h"
#include "trading/account.h"

#include <QTemporaryDir>

#include <map>
#include <optional>

namespace pellucar::bench {
namespace {

// Trades a period: 10,000 trades then fill 200 periods of the year.
constexpr int kTradesPerPeriod = 50;
const QDate kYearStart(1994, 1, 1);

// A saved game in its own folder.
struct SaveFolder {
    QTemporaryDir dir;
    int periodIndex = 0;
};

// The saved game of a Daily year with `trades` trades, made through the
// rules: a contract bought and sold again, market after market, fifty
// trades a period, the game standing in the period of its last trade.
const SaveFolder* savedGameWith(int trades, std::string* error) {
    static std::map<int, std::unique_ptr<SaveFolder>> made;
    if (auto it = made.find(trades); it != made.end()) return it->second.get();
    CoreRig rig;
    Game& g = rig.game;
    g.startUp();
    const SetupPlan p = dailyYear();
    rig.dialogs.queueSetup({{"level", p.level},
                            {"length", p.length},
                            {"data", p.data},
                            {"period", "select"},
                            {"month", QString::number(kYearStart.month())},
                            {"year", QString::number(kYearStart.year())}});
    g.click(QString::fromLatin1(keys::kNewGame));
    g.click(QString::fromLatin1(keys::kForward));
    static const char* const buttons[] = {"btnOil", "btnGold", "btnTBond", "btnSp500", "btnCattle", "btnSoybean"};
    for (int i = 0; i < trades; ++i) {
        if (i > 0 && i % kTradesPerPeriod == 0) g.click(QString::fromLatin1(keys::kForward));
        g.click(QString::fromLatin1(keys::kTrade));
        g.click(QString::fromLatin1(buttons[i / 2 % 6]));
        g.click(i % 2 == 0 ? QStringLiteral("btnBuy") : QStringLiteral("btnSell"));
        g.setText(QStringLiteral("inputUnits"), QStringLiteral("1"));
        g.keyPress(QStringLiteral("inputUnits"), Key::Enter);
        g.click(QStringLiteral("btnYes"));
    }
    if (g.ended() || g.state().desk.tradeCount() != trades) {
        *error = "the game did not make its " + std::to_string(trades) + " trades";
        return nullptr;
    }
    auto folder = std::make_unique<SaveFolder>();
    folder->periodIndex = g.state().clock.periodIndex();
    const QString why = writeSavedGameFile(folder->dir.path(),
                                           encodeSavedGame(savedGameOf(g.state(), QString(), SavedGame::Report::None)));
    if (!why.isEmpty()) {
        *error = why.toStdString();
        return nullptr;
    }
    return (made[trades] = std::move(folder)).get();
}

// A game at its start, pointed at a save folder, as the player finds it
// before choosing Game > Resume. Its database is opened afresh: one that had
// read the same year just before would answer from the rows it kept.
struct ResumeRig {
    MarketDatabase db;
    ScriptedDialogs dialogs;
    ScriptedRandom random{{}, 0.0};
    std::optional<Game> game;
    explicit ResumeRig(const QString& folder) {
        if (!db.open(databasePath())) return;
        game.emplace(dialogs, random, db);
        game->setSaveFolder(folder);
        game->startUp();
    }
};

std::string figure(int trades, bool floor) { return "resume." + std::to_string(trades) + (floor ? ".floor" : ""); }

// Each iteration resumes the saved game of the state's trades once through
// `once`, which times its own part and returns why it cannot (nullptr when it
// did); the samples are published under the figure's name.
template <typename Once> void timeResumes(benchmark::State& state, bool floor, Once&& once) {
    const int trades = static_cast<int>(state.range(0));
    std::string error;
    const SaveFolder* save = savedGameWith(trades, &error);
    if (!save) return state.SkipWithError(error.c_str());
    Samples samples;
    for (auto _ : state)
        if (const char* why = once(*save, trades, samples)) return state.SkipWithError(why);
    if (!floor) state.counters["periods"] = save->periodIndex;
    samples.publish(state, figure(trades, floor));
}

void BM_Resume(benchmark::State& state) {
    timeResumes(state, false, [&state](const SaveFolder& save, int trades, Samples& samples) -> const char* {
        state.PauseTiming();
        auto rig = std::make_unique<ResumeRig>(save.dir.path());
        if (!rig->game) return "cannot open futures.mdb";
        state.ResumeTiming();
        const auto t0 = Samples::start();
        rig->game->click(QStringLiteral("mnuResume"));
        samples.stop(t0);
        const GameState& s = rig->game->state();
        if (!rig->game->gameOnDesk() || s.desk.tradeCount() != trades || s.clock.periodIndex() != save.periodIndex)
            return "the saved game was not resumed";
        state.PauseTiming();
        rig.reset();
        state.ResumeTiming();
        return nullptr;
    });
}

void BM_Resume_Floor(benchmark::State& state) {
    timeResumes(state, true, [](const SaveFolder& save, int, Samples& samples) -> const char* {
        const auto t0 = Samples::start();
        QByteArray bytes;
        QString why;
        SavedGame g;
        if (readSavedGameFile(save.dir.path(), &bytes, &why) != SavedGameProblem::None ||
            decodeSavedGame(bytes, g, &why) != SavedGameProblem::None)
            return "the saved game cannot be read";
        benchmark::DoNotOptimize(stepDailyYearRows(kYearStart));
        Account account(g.level);
        for (const TradeRecord& t : g.trades) account.applyFill(t.market, t.amount, t.price);
        benchmark::DoNotOptimize(account.realizedPL());
        samples.stop(t0);
        return nullptr;
    });
}

} // namespace

void registerResumeBenchmarks() {
    for (const int trades : {0, 500, 2000, 10000}) {
        benchmark::RegisterBenchmark("Resume/DailyYear", BM_Resume)->Arg(trades)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("Resume/DailyYear/Floor", BM_Resume_Floor)
            ->Arg(trades)
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace pellucar::bench
