// Game > Save and Game > Resume; refused files and a failed write leave everything as it was.
#include "app/record/saved_game.h"
#include "app/view/control_table.h"
#include "common/format.h"
#include "support/game_harness.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <csignal>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

// Oil, Gold and the S&P wander enough for margin calls and losses; the other markets stay flat.
FixtureDb& wanderingDaily1990() {
    static FixtureDb db("saved_game_daily");
    [[maybe_unused]] static const bool built = [] {
        std::mt19937 walk(1990);
        std::normal_distribution<double> step(0, 0.02);
        std::array<QList<double>, 7> prices;
        for (int id = 1; id <= 6; ++id) {
            double p = kFirstPrices1990[id - 1];
            for (int d = 0; d < 270; ++d)
                prices[id].append(p = id == 2 || id == 3 || id == 4 ? p * (1 + step(walk)) : p);
        }
        db.addWeekdays(QDate(1990, 1, 1), QDate(1990, 12, 31), [&](int id, int day) { return prices[id][day]; });
        db.addOverview(QDate(1965, 10, 17), 0, QStringLiteral("A game, not advice."));
        db.addOverview(QDate(1989, 1, 1), 3, QStringLiteral("Oil in 1989."));
        return true;
    }();
    return db;
}

void expectSameGame(const Game& a, const Game& b, const QString& when) {
    const std::string w = when.toStdString();
    const GameState &x = a.state(), &y = b.state();
    EXPECT_TRUE(rulesOf(x) == rulesOf(y) && x.desk.limits.heldMarket() == y.desk.limits.heldMarket()) << w;
    // The window as shown; "Reports:" tells of the past: an order's units step hides it for good.
    ASSERT_EQ(a.model().keys(), b.model().keys());
    for (const QString& k : a.model().keys()) {
        const ControlState &p = a.model().at(k), &q = b.model().at(k);
        if ((p.visible || q.visible) && k != QLatin1String("Label8")) {
            EXPECT_EQ(p, q) << k.toStdString() << " " << w;
        }
    }
}

class SavedGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(dir_.isValid());
    }
    QString folder(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

} // namespace

// A game saved at a step of an order ("=units" typed into the units box, "Enter" in it) or with a report open resumes
// as the window showed it, and the resumed game writes the same file again. Game > End during an order, answered
// Continue, drops the order first.
TEST_F(SavedGameTest, AGameSavedAtAnyStepOfAnOrderResumesAsItWasShown) {
    const struct {
        const char* name;
        GameSpec game;
        QStringList steps;
        bool ended; // Game > End answered Continue after the steps
    } rows[] = {
        {"the side chosen, then ended", {}, {"btnTrade", "btnGold", "btnBuy"}, true},
        {"read back, then ended", {}, {"btnTrade", "btnGold", "btnBuy", "=2", "Enter"}, true},
        {"the market chosen", {}, {"btnTrade", "btnGold"}, false},
        {"units typed", {}, {"btnTrade", "btnGold", "btnSell", "=7"}, false},
        {"read back", {}, {"btnTrade", "btnOil", "btnBuy", "=3", "Enter"}, false},
        {"a Novice's units typed", {.level = Level::Novice}, {"btnTrade", "btnBuy", "=4"}, false},
        {"Trade History open", {}, {"btnTradeHist"}, false},
        {"a tick game's News History open", kTickMonth, {"btnNewsHist"}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString db = row.game.data == DataMode::Tick ? sharedTickJanuary1996() : wanderingDaily1990().path();
        SaveHarness h(db, folder(QString::fromLatin1(row.name)));
        h.newGame(row.game);
        h.forward(8);
        h.order(Market::Oil, Side::Buy, 1);
        for (const QString& step : row.steps) {
            if (step == QLatin1String("Enter")) h.game->keyPress(QStringLiteral("inputUnits"), Key::Enter);
            else if (step.startsWith('=')) h.game->setText(QStringLiteral("inputUnits"), step.mid(1));
            else h.game->click(step);
        }
        if (row.ended) {
            h.end(QStringLiteral("btnContinue"));
            EXPECT_TRUE(h.state().desk.pending == PendingOrder{} && !h.state().desk.limits.heldMarket());
        }
        const QByteArray file = h.save();
        SaveHarness resumed(db, h.folder);
        EXPECT_EQ(resumed.resume(), QStringList{}); // nothing to confirm over a desk with no game
        expectSameGame(*h.game, *resumed.game, QStringLiteral("resumed"));
        resumed.game->setSaveFolder(resumed.folder = folder(QStringLiteral("again ") + row.name));
        EXPECT_EQ(resumed.save(), file);
    }
}

TEST_F(SavedGameTest, RefusedFilesLeaveTheGameAsItWas) {
    SaveHarness h(wanderingDaily1990().path(), folder(QStringLiteral("refusals")));
    EXPECT_EQ(h.resume(), QStringList{"frmPlayerNotification: Saved Game | There is no saved game to resume."});
    EXPECT_FALSE(h.game->isActionable(QStringLiteral("mnuSave"))); // no game yet

    h.newGame({});
    h.forward(3);
    const QByteArray good = h.save();
    ASSERT_FALSE(good.isEmpty());
    h.forward(4);
    h.game->click(QStringLiteral("btnTrade"));
    h.game->click(QStringLiteral("btnGold"));
    const QByteArray current = h.save(); // the game with its order between steps

    QByteArray newer = good;
    newer[11] = static_cast<char>(kSavedGameFormat + 1); // the version's low byte
    const QByteArray older = savedGameOfFormat(1, good.mid(16, good.size() - 16 - 32));
    const QString damaged = QStringLiteral("the file is damaged.");
    QList<std::pair<QByteArray, QString>> files{
        {fileBytes(wanderingDaily1990().path()), QStringLiteral("the file is not a Pellucar saved game.")},
        {QByteArray("PLCRSAVX") + good.mid(8), QStringLiteral("the file is not a Pellucar saved game.")},
        {newer, QStringLiteral("it was saved by a newer version of Pellucar.")},
        {older, QStringLiteral("it was saved by an older version of Pellucar, whose saved games cannot be resumed.")},
    };
    for (const qsizetype size : {good.size() - 1, good.size() / 2, qsizetype(10), qsizetype(3), qsizetype(0)})
        files.append({good.left(size), damaged});
    // A bit flipped in the payload's length (its high and low bytes), in the payload and in the checksum.
    for (const qsizetype at : {qsizetype(12), qsizetype(15), good.size() / 2, good.size() - 1}) {
        QByteArray flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
        files.append({flipped, damaged});
    }
    for (const auto& [bytes, why] : files) {
        EXPECT_EQ(h.resume(bytes),
                  QStringList{"frmPlayerNotification: Saved Game | The saved game could not be read: " + why});
        EXPECT_EQ(h.save(), current) << why.toStdString() << " " << bytes.size();
    }

    // The good file over a running game asks first; No keeps the game.
    h.dialogs.queueAnswer(QStringLiteral("btnNo"));
    EXPECT_EQ(h.resume(good), QStringList{"frmConfirm: Resume Saved Game | Resume the saved game?  The game in "
                                          "progress will be lost."});
    EXPECT_EQ(h.state().clock.periodIndex(), 7);
    h.game->click(QStringLiteral("mnuResume"));
    EXPECT_EQ(h.state().clock.periodIndex(), 3);
    EXPECT_EQ(h.text("LabelDay"), "Day 3:");
}

// A file of the format before the chart's style and tuning were kept resumes with their start-up choices.
TEST_F(SavedGameTest, AFileWithoutTheChartTuningResumesWithTheDefaults) {
    SaveHarness h(wanderingDaily1990().path(), folder(QStringLiteral("format6")));
    h.newGame({});
    h.forward(3);
    for (const auto& [name, index] : {std::pair{"mnuGLStyle", 1}, {"mnuGLBands", -1}, {"mnuRsiPeriods", 2}})
        h.game->click(QString::fromLatin1(name), index);
    const QByteArray file = h.save();
    // The tuning is 18 bytes before the notes' count (no notes) and the six markets' counts of lines (none):
    // style, average line, pane, bands and the two periods.
    const QByteArray payload = file.mid(16, file.size() - 16 - 32).chopped(4 + 1 + 4 + 1 + 4 + 4 + 4 + 6 * 4);
    const QByteArray older = savedGameOfFormat(6, payload);

    SaveHarness saved(wanderingDaily1990().path(), h.folder);
    saved.resume();
    const charts::ChartOptions& tuned = saved.state().chart;
    EXPECT_EQ(tuned.priceStyle(), charts::PriceStyle::Bars);
    EXPECT_TRUE(tuned.priceBands());
    EXPECT_EQ(tuned.rsiChanges(), 25);

    SaveHarness resumed(wanderingDaily1990().path(), h.folder);
    EXPECT_EQ(resumed.resume(older), QStringList{});
    const charts::ChartOptions& chart = resumed.state().chart;
    EXPECT_EQ(chart.priceStyle(), charts::PriceStyle::Candles);
    EXPECT_FALSE(chart.priceBands());
    EXPECT_EQ(chart.rsiChanges(), charts::kRsiChanges);
    EXPECT_EQ(resumed.state().clock.periodIndex(), 3);
}

// What lies in the save's place is judged by its kind and size before a byte is read: a FIFO never answers, a
// device or a sparse file of gigabytes never ends.
TEST_F(SavedGameTest, FilesOfTheWrongKindOrSizeAreRefusedUnreadAndTheGameStays) {
    SaveHarness h(wanderingDaily1990().path(), folder(QStringLiteral("kinds")));
    h.newGame({});
    h.forward(3);
    const GameState before = h.state();
    const QString path = savedGamePath(h.folder);
    ASSERT_TRUE(QDir().mkpath(h.folder));
    const qint64 most = largestSavedGameSize();
    const auto sparse = [&](qint64 size) {
        return QFile(path).open(QIODevice::WriteOnly) && QFile::resize(path, size);
    };
    const auto tooLarge = [&](qint64 size) {
        return QStringLiteral("it holds %1 bytes, more than such a file ever does (%2).").arg(size).arg(most);
    };
    const QString notRegular = QStringLiteral("it is not a regular file (a device, pipe or socket).");
    const struct {
        const char* name;
        std::function<bool()> make;
        QString why;
    } rows[] = {
        {"a sparse file of 3 GiB", [&] { return sparse(qint64(3) << 30); }, tooLarge(qint64(3) << 30)},
        {"a byte past the largest save", [&] { return sparse(most + 1); }, tooLarge(most + 1)},
        // Read, and refused for what it holds.
        {"as large as the largest save", [&] { return sparse(most); }, "the file is not a Pellucar saved game."},
        {"a FIFO", [&] { return mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }, notRegular},
        {"a folder", [&] { return QDir().mkpath(path); }, "it is a folder, not a file."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(row.make());
        EXPECT_EQ(h.resume(),
                  QStringList{"frmPlayerNotification: Saved Game | The saved game could not be read: " + row.why});
        EXPECT_TRUE(h.state() == before);
        ASSERT_TRUE(QFile::remove(path) || QDir(path).removeRecursively());
    }
    // The bound is the format's own: the largest save there can be is that size.
    SavedGame largest;
    largest.trades = QList<TradeRecord>(TradeLog::kMaxRecords);
    largest.decisions = QList<OrderDecision>(100'000);
    largest.orderUnits = largest.typedUnits = largest.chart.comboText = largest.scenario =
        QString(32, QLatin1Char('9'));
    for (int t = 1; t <= TradeJournal::kMostNotes; ++t)
        largest.notes.insert(t, QString(2 * TradeJournal::kMostNote, QLatin1Char('9')));
    for (int id = 1; id <= kMarketCount; ++id)
        largest.drawings.restore(id, QList<charts::Drawing>(2 * charts::kMostDrawings));
    EXPECT_EQ(encodeSavedGame(largest).size(), most);
    // A Trainer save adds each fill's order and up to 100,000 decisions on working orders to the 333 KB a
    // Classic one can reach, and the journal its notes.
    EXPECT_LT(most, 10'000'000);
}

TEST_F(SavedGameTest, FailedWriteKeepsTheLastSave) {
    SaveHarness h(wanderingDaily1990().path(), folder(QStringLiteral("writes")));
    h.newGame({});
    h.forward(2);
    const QByteArray first = h.save();
    h.forward(5);
    h.take();

    // A disk that fills up halfway: no file may grow past a few bytes.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    h.game->click(QStringLiteral("mnuSave"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    const QStringList lines = h.take();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("frmPlayerNotification: Saved Game | The game could not be saved: "))
        << lines[0].toStdString();
    EXPECT_EQ(h.saved(), first);
    EXPECT_EQ(QDir(h.folder).entryList(QDir::Files), QStringList{kSavedGameFileName}); // no scraps left

    // A folder that cannot be made.
    ASSERT_TRUE(writeFile(folder(QStringLiteral("blocked")), "a file"));
    h.game->setSaveFolder(folder(QStringLiteral("blocked/saves")));
    h.game->click(QStringLiteral("mnuSave"));
    EXPECT_EQ(h.take().value(0).section(':', 0, 1), "frmPlayerNotification: Saved Game | The game could not be saved");
}

// Files with a valid checksum, each holding a game the rules could not have produced.
TEST_F(SavedGameTest, ImpossibleGamesAreRefusedAndLeaveTheDeskAsItWas) {
    SaveHarness h(wanderingDaily1990().path(), folder(QStringLiteral("hostile")));
    h.newGame({.length = GameLength::Month});
    h.forward(3);
    h.order(Market::Cattle, Side::Buy, 2);
    h.forward(2);
    SavedGame good;
    QString detail;
    ASSERT_EQ(decodeSavedGame(h.save(), good, &detail), SavedGameProblem::None) << detail.toStdString();
    ASSERT_EQ(good.trades.size(), 1);
    const TradeRecord cattle = good.trades[0]; // 2 Cattle bought in period 3
    const GameState before = h.state();

    using Edit = std::function<void(SavedGame&)>;
    // `count` copies of a line on Oil.
    const auto line = [](charts::Drawing d, int count = 1) -> Edit {
        return [=](SavedGame& g) { g.drawings.restore(3, QList<charts::Drawing>(count, d)); };
    };
    // A scenario's set-up, on the game's first day.
    const auto summer1990 = [](SavedGame& g) {
        g.scenario = QStringLiteral("Stocks, Summer 1990");
        g.length = GameLength::Quarter;
        g.startMonth = 7;
    };
    // An Oil buy read back with `units` accepted.
    const auto readBack = [](const char* units) -> Edit {
        return [units](SavedGame& g) {
            g.orderState = OrderState::CorrOrd;
            g.orderMarket = Market::Oil;
            g.orderSide = Side::Buy;
            g.orderUnits = QString::fromLatin1(units);
        };
    };
    const struct {
        const char* name;
        Edit edit;
        QString why; // the reason the player is told, after the common words
    } rows[] = {
        {"101 lots in one market",
         [&](SavedGame& g) {
             g.trades = QList<TradeRecord>(101, cattle);
             for (int i = 0; i < 101; ++i) {
                 g.trades[i].number = i + 1;
                 g.trades[i].amount = 1;
             }
             g.commissionTotal = 101 * kExpertCommissionPerTrade;
         },
         "trade 101 is not one the desk makes in period 3"},
        {"a Novice holding Gold",
         [](SavedGame& g) {
             g.level = Level::Novice;
             g.trades[0].market = Market::Gold;
         },
         "trade 1 is in Gold, which a Novice does not trade"},
        {"a market button pressed for no market", [](SavedGame& g) { g.orderMarketPressed = true; },
         "its order being entered is not one the desk takes"},
        {"period INT_MAX", [](SavedGame& g) { g.periodIndex = INT_MAX; }, "period 2147483647 is not within a game"},
        // January 1990 has 23 weekdays.
        {"a period past the game's month", [](SavedGame& g) { g.periodIndex = 40; },
         "the game is over after period 23"},
        {"a NaN price", [](SavedGame& g) { g.trades[0].price = NAN; }, "trade 1 has no market price"},
        {"a price a cent off the database's", [](SavedGame& g) { g.trades[0].price += 0.01f; },
         "trade 1 is not one the desk makes in period 3"},
        {"NaN contracts", [](SavedGame& g) { g.trades[0].amount = NAN; },
         "trade 1 is not a number of contracts an order may have"},
        {"a margin call the account never had", [](SavedGame& g) { g.trades[0].marginCall = true; },
         "trade 1 is not made in period 3"},
        {"an order in a market not chosen",
         [](SavedGame& g) {
             g.orderState = OrderState::GetUnits;
             g.orderSide = Side::Buy;
         },
         "its order being entered is not one the desk takes"},
        {"a huge chart counter", [](SavedGame& g) { g.chart.maCounter = INT_MAX; },
         "its chart options are not ones the menus make"},
        {"an unknown chart style", [](SavedGame& g) { g.chart.priceStyle = static_cast<charts::PriceStyle>(3); },
         "its chart style 3 is not one the menus offer"},
        {"a right chart of no kind", [](SavedGame& g) { g.chart.rightPane = static_cast<charts::RightPane>(-1); },
         "its right chart -1 is not one the menus offer"},
        {"an index over 13 changes", [](SavedGame& g) { g.chart.rsiChanges = 13; },
         "its relative strength index over 13 changes is not one the menus offer"},
        {"stochastics over no periods", [](SavedGame& g) { g.chart.stochasticWindow = 0; },
         "its stochastics over 0 periods are not ones the menus offer"},
        {"a news counter below 0", [](SavedGame& g) { g.dailyCounter = -1; }, "its news options are out of range"},
        {"a background story of 1900", [](SavedGame& g) { g.backgroundYear = 1900; },
         "its background story is of 1900, a year without one"},
        {"hints held back for ever", [](SavedGame& g) { g.nextHintPeriod = 1000000; },
         "its hints are held back to period 1000000, which no game reaches"},
        {"commissions below the trades'", [](SavedGame& g) { g.commissionTotal = 0; },
         "its commission total is not one the trades make"},
        {"a tick game in 1990", [](SavedGame& g) { g.data = DataMode::Tick; },
         "its period starts in 1/1990, which no game offers"},
        {"a tick game of a year",
         [](SavedGame& g) {
             g.data = DataMode::Tick;
             g.startYear = 1996;
             g.length = GameLength::Year;
         },
         "a tick game lasts a quarter at most"},
        {"a scenario the game does not offer", [](SavedGame& g) { g.scenario = QStringLiteral("Winter 1066"); },
         "its scenario is not one the game offers"},
        {"a scenario on another day",
         [&](SavedGame& g) {
             summer1990(g);
             g.startDay = 2; // not the 1st of July
         },
         "it is not set up as its scenario is"},
        {"rewound a negative number of times",
         [](SavedGame& g) {
             g.practice = true;
             g.rewinds = -1;
         },
         "it was rewound -1 times, which no game is"},
        {"rewound and not practice", [](SavedGame& g) { g.rewinds = 2; }, "it was rewound 2 times, which no game is"},
        {"a set-up game from the middle of a month", [](SavedGame& g) { g.startDay = 15; },
         "its period starts on day 15 of a month, which no game offers"},
        {"no data mode", [](SavedGame& g) { g.data = DataMode::None; }, "it has no data mode"},
        {"a daily game from February", [](SavedGame& g) { g.startMonth = 2; },
         "its period starts in 2/1990, which no game offers"},
        {"a tick game in month 13",
         [](SavedGame& g) {
             g.data = DataMode::Tick;
             g.startYear = 1996;
             g.startMonth = 13;
         },
         "its period starts in 13/1996, which no game offers"},
        {"an order saved at its confirmation", [](SavedGame& g) { g.orderState = OrderState::TradeConfirmation; },
         "its order is at a step no game is saved in"},
        {"a report open during an order",
         [](SavedGame& g) {
             g.orderState = OrderState::Trade;
             g.report = SavedGame::Report::Trades;
         },
         "a report is open during an order"},
        {"a news report in a daily game", [](SavedGame& g) { g.report = SavedGame::Report::News; },
         "a daily game has no news report"},
        {"a read-back of 007 contracts", readBack("007"), "its order being entered has no accepted contracts"},
        {"commissions of half a trade more", [](SavedGame& g) { g.commissionTotal += kExpertCommissionPerTrade / 2; },
         "its commission total is not one the trades make"},
        {"a trade after the period saved", [](SavedGame& g) { g.trades[0].day = 6; },
         "trade 1 is out of the order of periods"},
        {"no contracts", [](SavedGame& g) { g.trades[0].amount = 0; },
         "trade 1 is not a number of contracts an order may have"},
        {"half a contract", [](SavedGame& g) { g.trades[0].amount = 2.5f; },
         "trade 1 is not a number of contracts an order may have"},
        {"more contracts than an entry takes", [](SavedGame& g) { g.trades[0].amount = 410001; },
         "trade 1 is not a number of contracts an order may have"},
        {"a price of 0", [](SavedGame& g) { g.trades[0].price = 0; }, "trade 1 has no market price"},
        {"period 0", [](SavedGame& g) { g.periodIndex = 0; }, "period 0 is not within a game"},
        {"a daily game of 1983", [](SavedGame& g) { g.startYear = 1983; },
         "its period starts in 1/1983, which no game offers"},
        {"a daily game of 1998", [](SavedGame& g) { g.startYear = 1998; },
         "its period starts in 1/1998, which no game offers"},
        {"a tick game of 1998",
         [](SavedGame& g) {
             g.data = DataMode::Tick;
             g.startYear = 1998;
         },
         "its period starts in 1/1998, which no game offers"},
        {"a scenario played at another level",
         [&](SavedGame& g) {
             summer1990(g);
             g.level = Level::Novice;
         },
         "it is not set up as its scenario is"},
        {"a Novice entering Gold",
         [](SavedGame& g) {
             g.level = Level::Novice;
             g.trades.clear();
             g.commissionTotal = 0;
             g.orderState = OrderState::Trade;
             g.orderMarket = Market::Gold;
             g.orderMarketPressed = true;
         },
         "its order being entered is not one the desk takes"},
        {"a side chosen at the period's change", [](SavedGame& g) { g.orderSide = Side::Sell; },
         "its order being entered is not one the desk takes"},
        {"a read-back of no contracts", readBack("0"), "its order being entered has no accepted contracts"},
        {"a read-back past the largest entry", readBack("410001"), "its order being entered has no accepted contracts"},
        {"units read back without a read-back", [](SavedGame& g) { g.orderUnits = QStringLiteral("5"); },
         "its order being entered is not one the desk takes"},
        {"an annual counter past 16 bits", [](SavedGame& g) { g.annualCounter = 32768; },
         "its news options are out of range"},
        {"commissions beyond any run", [](SavedGame& g) { g.commissionTotal = kExpertCommissionPerTrade * 2e8f; },
         "its commission total is not one the trades make"},
        {"a NaN commission rate", [](SavedGame& g) { g.commissionRate = NAN; }, "its commission rate is out of range"},
        {"a negative commission rate", [](SavedGame& g) { g.commissionRate = -1; },
         "its commission rate is out of range"},
        {"a commission rate past 1,000", [](SavedGame& g) { g.commissionRate = 1000.5; },
         "its commission rate is out of range"},
        {"a Classic trade filling a working order", [](SavedGame& g) { g.trades[0].orderId = 1; },
         "trade 1 is no fill of a working order a player could have entered"},
        {"a Classic game with a working order",
         [](SavedGame& g) {
             OrderDecision d;
             d.period = 3;
             d.request = {Market::Oil, Side::Buy, 1, OrderType::Limit, 20.0};
             g.decisions.append(d);
         },
         "a Classic game has working orders"},
        {"a trade booked before the one ahead of it",
         [&](SavedGame& g) {
             g.trades.append(cattle);
             g.trades[1].number = 2;
             g.trades[1].day = 2;
         },
         "trade 2 is out of the order of periods"},
        {"a note on a trade that does not exist", [](SavedGame& g) { g.notes.insert(2, QStringLiteral("later")); },
         "it has a note on trade 2, which does not exist"},
        {"a note too long",
         [](SavedGame& g) { g.notes.insert(1, QString(TradeJournal::kMostNote + 1, QLatin1Char('x'))); },
         "the note on trade 1 is refused: a note is at most 200 characters"},
        {"a line of no kind", line({static_cast<charts::Drawing::Kind>(2), {1, 20}, {}}),
         "line 1 on Oil is of a kind no chart draws"},
        {"a line on a period not played", line({charts::Drawing::Kind::Level, {6, 20}, {}}),
         "line 1 on Oil stands on period 6, which is not played yet"},
        {"a line without a price", line({charts::Drawing::Kind::Trend, {1, 20}, {2, NAN}}),
         "line 1 on Oil has no price a chart shows"},
        {"a price past any market's", line({charts::Drawing::Kind::Level, {1, 1e300}, {}}),
         "line 1 on Oil has no price a chart shows"},
        {"too many lines", line({charts::Drawing::Kind::Level, {1, 20}, {}}, charts::kMostDrawings + 1),
         "it has more than 50 lines on Oil"},
    };
    const QString prefix = QStringLiteral("frmPlayerNotification: Saved Game | The saved game could not be read: ");
    ASSERT_EQ(good.periodIndex, 5);
    for (const auto& row : rows) {
        SavedGame hostile = good;
        row.edit(hostile);
        EXPECT_EQ(h.resume(encodeSavedGame(hostile)),
                  QStringList{prefix + "the game in it could not have been played: " + row.why + "."})
            << row.name;
        EXPECT_TRUE(h.state() == before) << row.name;
    }
    // A note the journal keeps comes back with the game, in Trade History too.
    SavedGame noted = good;
    noted.notes.insert(1, QStringLiteral("Cattle on the cold snap"));
    line({charts::Drawing::Kind::Trend, {1, 20}, {5, 21}})(noted);
    h.resume(encodeSavedGame(noted));
    EXPECT_EQ(h.state().desk.journal.notes(), noted.notes);
    EXPECT_EQ(h.state().drawings, noted.drawings);
    h.game->click(QStringLiteral("btnTradeHist"));
    const auto shownNote = [&] {
        return h.game->model().at(QStringLiteral("TradeGrid")).grid.rows.value(0).cells.value(8);
    };
    EXPECT_EQ(shownNote(), QStringLiteral("Cattle on the cold snap"));
    // Game > Trade Note rewrites it over the report; Cancel leaves it.
    h.take();
    h.dialogs.queueNote(QStringLiteral(" held to the end "));
    h.game->click(QStringLiteral("mnuTradeNote"), 1);
    EXPECT_EQ(h.take(), QStringList{"frmTradeNote: Trade Note | Trade 1: Buy 2 Cattle @ " + formatPlainF(cattle.price) +
                                    "\\nCattle on the cold snap"});
    EXPECT_EQ(shownNote(), QStringLiteral("held to the end"));
    h.game->click(QStringLiteral("mnuTradeNote"));
    EXPECT_EQ(shownNote(), QStringLiteral("held to the end"));
}
