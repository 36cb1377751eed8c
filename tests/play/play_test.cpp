// pellucar-play as a player's stand-in: whole games from a script, on a fixture and on the built database.
#include "common/format.h"
#include "support/game_harness.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

struct PlayRun {
    int exitCode = -1;
    QStringList out;
    QString err;
};

PlayRun play(const QString& db, const QString& script) {
    QProcess p;
    p.start(QStringLiteral(PELLUCAR_PLAY_BIN), {QStringLiteral("--database"), db});
    p.write(script.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(120000);
    PlayRun r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

TEST(PlayDriver, TranscriptShowAndExitStatus) {
    const PlayRun r = play(sharedDaily1990(), "# a short game\n"
                                              "setup level=Expert length=Quarter data=Daily period=select year=1990\n"
                                              "forward 2\n"
                                              "show lblOilCurrMark lblBuy_0 lblDate\n");
    // "lblBuy_0" is no control: the script stops with its line number.
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("line 4: unknown control lblBuy_0")) << r.err.toStdString();
    EXPECT_EQ(r.out,
              (QStringList{"frmAboutKestrow: About Pellucar | Pellucar\\nDunmere",
                           "frmDisclaimer: Disclaimer Statement | A game, not advice.",
                           "frmTimePeriod: Game Level Options | Expert, One Quarter, Daily data, Annual news, 1990",
                           "lblOilCurrMark: $20.25  +0.25"}));

    // A second autoplay while auto-play runs presses up to its own N, and says how many it pressed.
    const PlayRun ok =
        play(sharedDaily1990(),
             "setup year=1990 length=Quarter\nshow lblGoldPos btnBuy\nautoplay 2\nautoplay 3\nshow LabelDay\n");
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.out.mid(3), QStringList({"lblGoldPos: 0", "btnBuy: &Buy (hidden)", "autoplay: 2 periods, playing",
                                          "autoplay: 3 periods, playing", "LabelDay: Day 5:"}));

    // Pressing what the player cannot press is no error, but it is reported.
    const PlayRun locked = play(sharedDaily1990(), "click btnTrade\n");
    EXPECT_EQ(locked.exitCode, 0);
    EXPECT_TRUE(locked.err.contains("btnTrade is not available")) << locked.err.toStdString();

    // A command out of the grammar stops the script.
    for (const char* bad : {"frobnicate\n", "setup year=2001\n", "forward lots\n", "order Oil hold 5\n",
                            "bracket Oil buy 5 limit 20\n", "change 1 size 3\n", "cancel x\n", "rewind back\n"})
        EXPECT_EQ(play(sharedDaily1990(), bad).exitCode, 2) << bad;

    // A database that cannot be opened: the notice, exit 1, and the file on standard error.
    const PlayRun missing = play(QStringLiteral(PELLUCAR_TEST_TMP) + "/missing/futures.mdb", "forward\n");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.value(missing.out.size() - 1).startsWith("frmPlayerNotification: Pellucar | "));
    EXPECT_TRUE(missing.err.contains("could not be opened: " PELLUCAR_TEST_TMP "/missing/futures.mdb"))
        << missing.err.toStdString();
    // Game > End, then End in the window.
    const PlayRun ended =
        play(sharedDaily1990(), "setup year=1990\nforward 3\nanswer btnExit\nclick mnuEnd\nforward\n");
    EXPECT_EQ(ended.exitCode, 0);
    EXPECT_EQ(countLines(ended.out, "frmEndofGame: Game Over  |"), 1);
}

TEST(PlayDriver, ViewMovesTheChartsRowsWithinThePlayedPeriods) {
    // Each step of the script, and the rows both charts show after it (period 40 of a quarter).
    const std::pair<const char*, const char*> steps[] = {
        {"forward 40", "11-40"},
        {"view scroll -5", "6-35"},
        {"view zoom 1", "16-35"},          // 20 rows, the last one kept
        {"view scroll 100", "21-40"},      // never past the current period
        {"view scroll -1000", "1-20"},     // nor before the first
        {"forward 2", "1-20"},             // a view looking back stays where it is
        {"view zoom -3", "1-42"},          // no wider than the rows played
        {"view latest", "13-42"},          // the standard 30 rows again
        {"click mnuChartView 0", "23-42"}, // the menu moves it the same way
        {"click mnuChartView 2", "13-42"},
    };
    QString script = QStringLiteral("setup level=Expert length=Quarter data=Daily period=select year=1990\n");
    for (const auto& [line, rows] : steps) script += QString::fromLatin1(line) + "\nchart\n";
    const PlayRun r = play(sharedDaily1990(), script + "view sideways 2\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("usage: view")) << r.err.toStdString();
    QStringList shown;
    for (const QString& l : r.out)
        if (l.startsWith("chart ")) shown << l.section(QStringLiteral(" rows "), 1).section(' ', 0, 0);
    ASSERT_EQ(shown.size(), 2 * static_cast<qsizetype>(std::size(steps))) << r.out.join('\n').toStdString();
    for (size_t i = 0; i < std::size(steps); ++i)
        for (int chart : {0, 1}) EXPECT_EQ(shown[2 * i + chart], steps[i].second) << steps[i].first << " " << chart;
}

TEST(PlayDriver, DrawPutsSnappedLinesOnTheChartedMarketOnly) {
    // Oil is 20.00 in period 1 and a quarter more each period; at period 10 a point snaps within a tenth or so.
    const std::pair<const char*, const char*> steps[] = {
        {"draw hline 21.04 5", "draw: line 1 drawn at 21.00 (period 5)"},
        {"draw hline 21.3 5", "draw: line 2 drawn at 21.30 (period 5)"},
        {"draw trend 9 22.03 2 20.27", "draw: line 3 drawn at 20.25 (period 2) to 22.00 (period 9)"},
        {"draw hline 25 11", "draw: refused: The line stands on period 11, which is not played yet."},
        {"draw remove 2", "draw: removed"},
        {"draw remove 9", "draw: refused: there is no such line"},
        {"drawings", "drawings: 2 on Oil|  1 level 21.00 (period 5)|  2 trend 20.25 (period 2) to 22.00 (period 9)"},
        {"click cboCommodity 1\ndrawings", "drawings: 0 on Gold"},
        {"click cboCommodity 2\ndraw remove all\ndrawings", "draw: removed|drawings: 0 on Oil"},
    };
    QString script =
        QStringLiteral("setup level=Expert length=Quarter data=Daily period=select year=1990\nforward 10\n");
    QStringList expected;
    for (const auto& [line, out] : steps) {
        script += QString::fromLatin1(line) + '\n';
        expected += QString::fromLatin1(out).split('|');
    }
    const PlayRun r = play(sharedDaily1990(), script + "draw hline\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("usage: draw")) << r.err.toStdString();
    QStringList shown;
    for (const QString& l : r.out)
        if (l.startsWith("draw") || (l.startsWith("  ") && l.contains("(period"))) shown << l;
    EXPECT_EQ(shown, expected) << r.out.join('\n').toStdString();
}

TEST(PlayDriver, ScenarioReviewAndExport) {
    const QString db = QStringLiteral(PELLUCAR_REAL_DB);
    if (db.isEmpty() || !QFile::exists(db)) GTEST_SKIP() << "market database not built";
    EXPECT_EQ(play(db, "scenario Nowhere, 1999\n").exitCode, 2);
    const QString csv = QStringLiteral(PELLUCAR_TEST_TMP) + "/scenario-trades.csv";
    QFile::remove(csv);
    const PlayRun r = play(db, "review\nexport " + csv +
                                   "\nscenario autumn 1987\nforward 3\ntrade SP500 buy 2\nclick btnYes\nforward 4\n"
                                   "trade SP500 sell 2\nclick btnYes\nnote 3 never\nnote 2  took it, early \n"
                                   "answer btnRestartGame\nclick mnuEnd\nreview\nexport " +
                                   csv + "\n");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Review: no game has ended"));
    EXPECT_TRUE(r.out.contains("Export: no game has ended"));
    const QString trips = QStringLiteral(PELLUCAR_TEST_TMP) + "/scenario-trades-round-trips.csv";
    EXPECT_TRUE(r.out.contains("Export: 2 trades to " + csv + ", 1 round trips to " + trips));
    EXPECT_TRUE(r.out.contains("note: refused: There is no trade 3"));
    EXPECT_TRUE(r.out.contains("note: trade 2 noted"));
    QList<double> fills; // the confirmations' prices: "... Bought @  $14.56" -> 14.56
    for (const QString& l : r.out)
        if (l.startsWith("frmTradeConfirmation:"))
            fills << l.section(QStringLiteral("@  "), 1).remove('$').remove(',').toDouble();
    ASSERT_EQ(fills.size(), 2) << r.out.join('\n').toStdString();
    // One round trip of two contracts, at 500 dollars a point.
    const double pl = 2 * (fills[1] - fills[0]) * 500;
    EXPECT_TRUE(r.out.contains("Round Trips: 1")) << r.out.join('\n').toStdString();
    EXPECT_EQ(countLines(r.out, QStringLiteral("Trip: SP500 Long 2 at ")), 1);
    EXPECT_EQ(countLines(r.out, QStringLiteral("(period 3) to ")), 1);
    EXPECT_EQ(countLines(r.out, QStringLiteral("(period 7), %1, 4 periods").arg(formatStandard(pl))), 1);
    const QStringList lines = QString::fromUtf8(fileBytes(csv)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith("1,3,1987-10-05,SP500,Buy,2,")) << lines[1].toStdString();
    // The closing fill carries the trip's P(L) and the note.
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(",%1,\"took it, early\"").arg(pl, 0, 'f', 2)))
        << lines[2].toStdString();
    EXPECT_EQ(QString::fromUtf8(fileBytes(trips)).count('\n'), 2);
}

TEST(PlayDriver, TrainerOrdersAreEnteredListedChangedAndCancelled) {
    // Oil on the fixture: 20.00 in period 1, a quarter more each period.
    const PlayRun r = play(sharedDaily1990(), "setup level=Expert year=1990 rules=Trainer\nforward\n"
                                              "order Oil buy 5 stop 20.50\n"
                                              "bracket Oil sell 2 stop 20.25 target 19.00\n"
                                              "change 1 units 6\norders\nforward 2\norders\ncancel 9\n");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.mid(2),
              (QStringList{"frmTimePeriod: Game Level Options | Expert, One Year, Daily data, Annual "
                           "news, 1990, Trainer rules",
                           "order: 1 entered", "bracket: 2 entered", "change: 1 changed", "orders: 3 working",
                           "  1 Buy 6 Oil Stop 20.5 GTC", "  3 Buy 2 Oil Stop 20.25 GTC stop-loss",
                           "  4 Buy 2 Oil Limit 19 GTC target", "orders: 0 working",
                           "frmPlayerNotification: Trader Notification | There is no such working order",
                           "cancel: refused: There is no such working order"}));
}

TEST(PlayDriver, RewindGoesBackInAGameNotScoredAsClassic) {
    const struct {
        const char *name, *script;
        QStringList last; // the lines the rewind wrote, then the day shown
    } rows[] = {
        {"Trainer",
         "setup year=1990 rules=Trainer\nforward 6\nrewind 2\nshow LabelDay\n",
         {"frmRewind: Rewind | Go back to period (1 to 5):", "LabelDay: Day 2:"}},
        {"scored Classic",
         "setup year=1990\nforward 6\nrewind 2\nshow LabelDay\n",
         {"rewind: Rewind is not available in this game", "LabelDay: Day 6:"}},
    };
    for (const auto& row : rows) {
        const PlayRun r = play(sharedDaily1990(), QString::fromLatin1(row.script));
        EXPECT_EQ(r.exitCode, 0) << row.name << r.err.toStdString();
        EXPECT_EQ(r.out.mid(r.out.size() - 2), row.last) << row.name << r.out.join('\n').toStdString();
    }
}
