#pragma once
#include "app/record/past_games.h"
#include "app/state/time_period_form.h"
#include "common/data_mode.h"
#include "common/level.h"
#include "common/market.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace pellucar {

// A named starting point at a real event in the market history: a game set
// up as the player would set it up, from a given first day, with a market
// to watch and a brief written as of that day.
struct Scenario {
    QString name;
    QDate start;
    Level level = Level::Expert;
    DataMode data = DataMode::Daily;
    GameLength length = GameLength::Quarter;
    Market watch = Market::Oil;
    QString brief;
};

// What Game > Scenarios says while a game is under way.
inline constexpr char kScenarioTitle[] = "Scenarios";
inline constexpr char kScenarioGameUnderWay[] =
    "A game is under way. End it first (Game > End), then choose a scenario.";

// Every scenario, in time order.
const std::vector<Scenario>& scenarios();
// The scenario of that name (case and spacing as typed do not matter).
const Scenario* findScenario(const QString& name);

// What Game > Scenarios shows: each scenario with its best recorded game.
struct ScenarioChoice {
    Scenario scenario;
    std::optional<PastGame> best;
};
std::vector<ScenarioChoice> scenarioChoices(const std::vector<PastGame>& games);

} // namespace pellucar
