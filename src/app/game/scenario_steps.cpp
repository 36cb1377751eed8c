#include "app/game/game.h"
#include "app/record/debrief.h"

namespace pellucar {

void Game::mnuScenarios_Click() {
    const std::optional<QString> chosen = dialogs_.scenarios(files_.scenariosReport());
    if (chosen) startScenario(*chosen);
}

bool Game::startScenario(const QString& name) {
    const Scenario* scenario = findScenario(name);
    if (!scenario) return false;
    // A game under way is the player's to finish: it is recorded when it
    // ends, and a scenario is a new game like any other.
    if (s_.clock.periodIndex() > 0) {
        NotifyPlayer(QString::fromLatin1(kScenarioTitle), QString::fromLatin1(kScenarioGameUnderWay));
        return false;
    }
    // A scenario plays under the rules last chosen. The desk's items follow
    // the new game whoever started it (the menu, the driver).
    const bool begun = BeginScenario(*scenario, s_.settings.news.setupChoice(), s_.settings.rules);
    PresentControlFlags();
    return begun;
}

bool Game::BeginScenario(const Scenario& scenario, NewsOption news, RuleSet rules) {
    form_.reset(scenario.level, scenario.data, scenario.length, news);
    form_.random = false;
    form_.rules = rules;
    form_.year = scenario.start.year();
    form_.month = scenario.start.month();
    if (!BeginGame(&scenario)) return false;
    charts_.chartMarket(scenario.watch);
    charts_.presentChartOptions();
    NotifyPlayer(scenario.name, scenario.brief);
    return true;
}

void Game::ShowScenarioDebrief() {
    const Scenario* scenario = files_.scenario().isEmpty() ? nullptr : findScenario(files_.scenario());
    const std::optional<ReviewRecord>& review = files_.lastReview();
    if (!scenario || !review || review->periods.empty()) return;
    // What followed is read only now that the game is over: the watched
    // market's days after the last one played, a few weeks of them.
    const QDate last = review->periods.back().date;
    const QList<DailyRow> after =
        db_.dailyRows(commodityId(scenario->watch), last.addDays(1), last.addDays(ScenarioDebrief::kDays * 2));
    if (const std::optional<ScenarioDebrief> d = scenarioDebrief(*scenario, *review, after, briefFacts(scenario->name)))
        dialogs_.scenarioDebrief(*d);
}

} // namespace pellucar
