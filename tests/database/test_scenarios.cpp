// Every historic scenario played to its end on the built futures.mdb: it
// starts where it says, runs its whole length inside the data, opens near
// the price its brief names, and the move it was chosen for is there.
#include "db_test_support.h"

#include "app/record/debrief.h"
#include "app/record/saved_game.h"
#include "app/record/scenarios.h"
#include "support/game_harness.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

using namespace pellucar;

TEST(Scenarios, EachPlaysItsLengthInsideTheDataAndHoldsTheMoveItWasChosenFor) {
    const struct {
        const char* name;
        int periods;    // at least this many periods before the game's end
        double opening; // the watched market's first price, within 8% (0: the brief names none)
        double move;    // the largest rise (> 0) or fall (< 0) from it, at least this share
    } rows[] = {
        {"Oil at the New Year, 1986", 60, 26, -0.40}, {"Autumn 1987", 60, 0, -0.25},
        {"Planting Season, 1988", 60, 7.05, 0.30},    {"Stocks, Summer 1990", 60, 0, -0.10},
        {"Oil, Summer 1990", 60, 17, 0.80},           {"The January Deadline, 1991", 19, 28, -0.20},
        {"Bonds, Winter 1994", 60, 117, -0.08},       {"Soybeans, Winter 1997", 360, 6.88, 0.15},
        {"Gold, January 1997", 114, 369, -0.04},      {"Autumn 1997", 120, 955, -0.06},
    };
    ASSERT_EQ(std::size(rows), scenarios().size());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Scenario* sc = findScenario(QString::fromLatin1(row.name));
        ASSERT_NE(sc, nullptr);
        test::Harness h(QStringLiteral(PELLUCAR_DB_PATH));
        ScriptedDialogs& dialogs = h.dialogs;
        h.start();
        ASSERT_TRUE(h.game->startScenario(sc->name));
        const GameState& s = h.state();
        EXPECT_EQ(s.clock.startDate(), sc->start);
        EXPECT_EQ(s.clock.dataMode(), sc->data);
        EXPECT_EQ(s.settings.level, sc->level);
        EXPECT_TRUE(dialogs.transcript().last().contains(sc->brief));
        dialogs.clearTranscript();
        std::vector<double> prices;
        while (prices.size() < 2000 && !dialogs.transcript().join('\n').contains(QStringLiteral("frmGameOver"))) {
            h.forward();
            if (s.clock.periodIndex() > static_cast<int>(prices.size()))
                prices.push_back(s.prices.record(s.clock.periodIndex()).get(sc->watch));
        }
        ASSERT_GE(static_cast<int>(prices.size()), row.periods);
        EXPECT_FALSE(s.clock.endOfData());
        EXPECT_GT(*std::min_element(prices.begin(), prices.end()), 0.05); // a real price every period
        if (row.opening > 0) {
            EXPECT_NEAR(prices.front() / row.opening, 1, 0.08);
        }
        const double extreme = row.move > 0 ? *std::max_element(prices.begin(), prices.end())
                                            : *std::min_element(prices.begin(), prices.end());
        const double moved = extreme / prices.front() - 1;
        EXPECT_TRUE(row.move > 0 ? moved >= row.move : moved <= row.move) << "moved " << moved;
    }
}

// A saved scenario comes back as the scenario, on its own first day, with
// or without trades, at the start and further on, played straight or
// rewound; saved again it is the same file, and it plays on as the game it
// was saved from.
TEST(Scenarios, EachResumesAsItWasSavedAndPlaysOnTheSame) {
    QTemporaryDir saves;
    ASSERT_TRUE(saves.isValid());
    const struct {
        int periods;
        int rewindTo; // 0: played straight
    } plays[] = {{1, 0}, {9, 0}, {14, 6}};
    for (const Scenario& sc : scenarios()) {
        for (const auto [periods, rewindTo] : plays) {
            for (const bool trade : {false, true}) {
                SCOPED_TRACE(testing::Message() << sc.name.toStdString() << " at " << periods << " rewound to "
                                                << rewindTo << (trade ? " with a trade" : ""));
                test::Harness played(QStringLiteral(PELLUCAR_DB_PATH)), resumed(QStringLiteral(PELLUCAR_DB_PATH));
                played.start();
                played.game->setSaveFolder(saves.path());
                ASSERT_TRUE(played.game->startScenario(sc.name));
                if (rewindTo) played.game->click(QStringLiteral("mnuPractice"));
                for (int p = 0; p < periods; ++p) {
                    played.forward();
                    // A trade kept by the rewind, and one it takes back.
                    if (trade && p == 0) played.order(sc.watch, Side::Buy, 1);
                    if (trade && p > 0 && p == periods - 2) played.order(sc.watch, Side::Sell, 1);
                }
                if (rewindTo) {
                    played.dialogs.queueAnswer(QString::number(rewindTo));
                    played.game->click(QStringLiteral("mnuRewind"));
                    ASSERT_EQ(played.state().clock.periodIndex(), rewindTo);
                    ASSERT_EQ(played.state().rewinds, 1);
                }
                ASSERT_EQ(played.state().desk.trades.count(), trade ? (periods > 2 && !rewindTo ? 2 : 1) : 0);
                played.game->click(QStringLiteral("mnuSave"));
                const QByteArray saved = dbtest::fileBytes(savedGamePath(saves.path()));
                ASSERT_FALSE(saved.isEmpty());

                resumed.start();
                resumed.game->setSaveFolder(saves.path());
                resumed.game->click(QStringLiteral("mnuResume"));
                ASSERT_FALSE(resumed.dialogs.transcript().join('\n').contains(QStringLiteral("could not be read")))
                    << resumed.dialogs.transcript().join('\n').toStdString();
                EXPECT_EQ(resumed.state().clock.startDate(), played.state().clock.startDate());
                EXPECT_TRUE(test::rulesOf(resumed.state()) == test::rulesOf(played.state()));
                // Its scenario and first day are kept again by the next save.
                resumed.game->click(QStringLiteral("mnuSave"));
                EXPECT_EQ(dbtest::fileBytes(savedGamePath(saves.path())), saved);

                played.forward(3);
                resumed.forward(3);
                EXPECT_TRUE(test::rulesOf(resumed.state()) == test::rulesOf(played.state()));
            }
        }
    }
}

namespace {

// The table beside the data, as the game reads the copy built into it.
std::vector<BriefFact> briefFactsFile() {
    QFile f(QStringLiteral(PELLUCAR_DATA_DIR "/scenarios/brief_facts.tsv"));
    return f.open(QIODevice::ReadOnly) ? parseBriefFacts(QString::fromUtf8(f.readAll())) : std::vector<BriefFact>{};
}

// The number a phrase names ("near $26", "near 117", "$6.88") and half a
// unit of its last digit: how far the price it stands for may lie from it.
std::pair<double, double> namedNumber(const QString& phrase) {
    static const QRegularExpression number(QStringLiteral("(?:\\$|near )(\\d+(?:\\.(\\d+))?)"));
    const QRegularExpressionMatch m = number.match(phrase);
    if (!m.hasMatch()) return {-1, 0};
    return {m.captured(1).toDouble(), 0.5 * std::pow(10.0, -m.captured(2).size())};
}

} // namespace

// Every sentence of a brief (but what it says of the game) rests on a fact
// dated on or before the scenario's first day, kept with its source beside
// the data; a price the brief names is the watched market's last close
// before that day, as rounded in the brief.
TEST(Scenarios, EveryBriefSaysOnlyWhatWasKnownOnItsFirstDay) {
    const std::vector<BriefFact> facts = briefFactsFile();
    ASSERT_FALSE(facts.empty());
    dbtest::Database db(PELLUCAR_DB_PATH);
    ASSERT_TRUE(db.ok());
    static const QRegularExpression sentenceEnd(QStringLiteral("(?<=\\.)\\s+"));
    static const QRegularExpression closeSource(QStringLiteral("^futures\\.mdb DailyData (\\w+) close$"));
    for (const Scenario& sc : scenarios()) {
        SCOPED_TRACE(sc.name.toStdString());
        std::vector<const BriefFact*> own;
        for (const BriefFact& f : facts)
            if (f.scenario == sc.name) own.push_back(&f);
        ASSERT_FALSE(own.empty());
        for (const BriefFact* f : own) {
            SCOPED_TRACE(f->phrase.toStdString());
            EXPECT_TRUE(sc.brief.contains(f->phrase));
            ASSERT_TRUE(f->date.isValid());
            EXPECT_LE(f->date, sc.start);
            EXPECT_FALSE(f->source.isEmpty());
            const QRegularExpressionMatch close = closeSource.match(f->source);
            if (!close.hasMatch()) continue;
            Market m = Market::Oil;
            ASSERT_TRUE(marketFromName(close.captured(1), &m));
            const auto last = db.query("SELECT Date, Close FROM DailyData WHERE CommodityID = ? AND Date < ? "
                                       "ORDER BY Date DESC LIMIT 1",
                                       {std::to_string(commodityId(m)), sc.start.toString(Qt::ISODate).toStdString()});
            ASSERT_EQ(last.size(), 1u);
            EXPECT_EQ(last[0][0], f->date.toString(Qt::ISODate).toStdString()) << "not the last close before the start";
            const double price = dbtest::num(last[0][1]) / (m == Market::Soybean ? 100 : 1);
            const auto [named, slack] = namedNumber(f->phrase);
            EXPECT_LE(std::abs(named - price), slack + 1e-9) << "names " << named << ", closed at " << price;
        }
        for (const QString& sentence : sc.brief.split(sentenceEnd, Qt::SkipEmptyParts)) {
            if (sentence.startsWith(QLatin1String("You trade"))) continue; // the game, not the market
            const bool rests =
                std::any_of(own.begin(), own.end(), [&](const BriefFact* f) { return sentence.contains(f->phrase); });
            EXPECT_TRUE(rests) << "no dated fact for: " << sentence.toStdString();
        }
    }
}
