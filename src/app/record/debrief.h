#pragma once
// What a scenario's player learns once it is over: how the watched market
// went on after the last day played, where he left it, what one contract
// held from the first day made, the best days to have closed it, and where
// each fact of the brief came from.
#include "app/record/review.h"
#include "app/record/scenarios.h"
#include "market/database.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace pellucar {

// One fact a scenario's brief states, as the brief words it, with the day it
// was true or known (never after the scenario's first day) and its source.
struct BriefFact {
    QString scenario;
    QDate date;
    QString phrase;
    QString source;
    bool operator==(const BriefFact&) const = default;
};
// The facts in tab-separated text (scenario, date, phrase, source; a header
// line first). Lines that are not four fields with a real date are left out.
std::vector<BriefFact> parseBriefFacts(const QString& tsv);
// The facts of the brief of `scenario`, oldest first, from the table built
// into the program.
std::vector<BriefFact> briefFacts(const QString& scenario);

// A price of the watched market at one point of the game or after it.
struct DebriefPoint {
    QDate date;
    int hour = 0; // 1..6 in a Tick game, 0 for a day
    double price = 0;
    bool operator==(const DebriefPoint&) const = default;
};

// One contract of the watched market, held from the game's first period and
// closed at `at`: what it made, in dollars.
struct HeldContract {
    DebriefPoint at;
    double dollars = 0;
    bool operator==(const HeldContract&) const = default;
};

struct ScenarioDebrief {
    QString scenario;
    Market market = Market::Oil;
    // The watched market in the periods played, then in the days that
    // followed the last of them (as many as the data holds, up to kDays).
    std::vector<DebriefPoint> played;
    std::vector<DebriefPoint> following;
    // The player's last trade in the watched market (index into `played`
    // and its fill price), none when he never traded it; the contracts he
    // still held at the end (positive long).
    std::optional<int> exitPeriod;
    double exitPrice = 0;
    double heldAtEnd = 0;
    // The benchmark: one contract bought at the first period and held to
    // the last one, and on to the last day that followed.
    HeldContract buyAndHold;
    std::optional<HeldContract> buyAndHoldAfter;
    // In hindsight: the period a contract bought (sold) at the first one
    // was best sold (bought back), and what it made then.
    HeldContract bestLongExit, bestShortExit;
    std::vector<BriefFact> sources;
    bool operator==(const ScenarioDebrief&) const = default;

    static constexpr int kDays = 20;
};

// The debrief of a finished scenario game from its review record and the
// watched market's daily rows read after its end. Rows on or before the last
// day played are not "what followed" and are left out, so nothing the game
// could have shown is taken from them. None for a game without periods.
std::optional<ScenarioDebrief> scenarioDebrief(const Scenario& scenario, const ReviewRecord& game,
                                               const QList<DailyRow>& after, std::vector<BriefFact> sources);

// The debrief's lines as a window or a transcript shows them.
QStringList debriefLines(const ScenarioDebrief& d);

} // namespace pellucar
