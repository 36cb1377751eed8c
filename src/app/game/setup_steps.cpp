#include "app/game/game.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"

namespace pellucar {

namespace {} // namespace

void Game::mnuNewGame_Click() {
    if (s_.clock.periodIndex() > 0) {
        // During a game "Restart" shows where the player stands first.
        mnuEnd_Click();
        RevalueAccount();
        return;
    }
    const Settings& set = s_.settings;
    form_.reset(set.level, set.data, set.length, set.news.setupChoice());
    form_.rules = set.rules;
    // Cancel leaves every setting as it was: the form's choices only count
    // once the player presses Begin.
    if (!dialogs_.timePeriod(form_)) return;
    BeginGame(nullptr);
}

bool Game::BeginGame(const Scenario* scenario) {
    cmdBegin(form_, scenario ? scenario->start : QDate());
    // The rules of the game on the desk, under its name.
    model_.setText("GameName", s_.settings.rules == RuleSet::Trainer ? QStringLiteral("Pellucar Trainer")
                                                                     : QStringLiteral("Pellucar"));
    files_.newGame();
    s_.practice = false;
    s_.rewinds = 0;
    files_.setScenario(scenario ? scenario->name : QString());

    desk_.SetOrderState(OrderState::ChangePeriod);
    model_.setText(keys::kNewGame, QStringLiteral("&Restart"));
    s_.clock.setUp(s_.settings);
    ResetGame();
    if (!LoadGamePeriod()) {
        // Nothing to play: the desk waits for another Start.
        model_.setText(keys::kNewGame, QStringLiteral("&Start"));
        return false;
    }
    s_.clock.rewind();
    gameOnDesk_ = true;
    // A fresh desk: the quote column is closed until the first period.
    setMarketLabelsVisible(model_, true);
    for (Market m : kTradingOrder) {
        const MarketKeys& k = keysOf(m);
        model_.setText(k.quote, QStringLiteral("*** Market Closed ***"));
        const bool shown = s_.settings.level == Level::Expert || m == Market::Oil;
        model_.setVisible(k.quote, shown);
        model_.setVisible(k.quoteName, shown);
    }
    model_.setText(keys::kDate, QString());
    ShowAccountFigures();
    return true;
}

void Game::cmdBegin(const TimePeriodForm& form, const QDate& scenarioStart) {
    s_.levelSelected = true;
    const bool tick = form.tick();
    int month = 1;
    int year = form.year;
    if (!form.random) {
        month = tick ? form.month : 1;
    } else if (tick) {
        if (form.length == GameLength::Month) {
            month = static_cast<int>(random_.next() * 12 + 1);
        } else {
            static const int quarterStart[] = {1, 4, 7, 10};
            month = quarterStart[std::clamp(static_cast<int>(random_.next() * 4), 0, 3)];
        }
        year = static_cast<int>(random_.next() * 2 + 1996);
    } else {
        month = 1;
        year = static_cast<int>(random_.next() * 14 + 1984);
    }
    month = std::clamp(month, 1, 12);
    s_.clock.begin(scenarioStart.isValid() ? scenarioStart : QDate(year, month, 1), form.length,
                   tick ? DataMode::Tick : DataMode::Daily);
    // Chart defaults come back for every new game; the charted market stays.
    charts_.restoreDefaults();
    // The menus show the restored defaults at once, not after the first
    // redraw: a mark left from the last game would be toggled the wrong way.
    charts_.presentChartOptions();
    LevelDetailChecker(form);
    SetLevel(form.level);
}

void Game::LevelDetailChecker(const TimePeriodForm& form) {
    Settings& set = s_.settings;
    set.level = form.level;
    set.data = form.data();
    set.length = set.data == DataMode::Tick && form.length == GameLength::Year ? GameLength::Quarter : form.length;
    set.news.chooseInSetup(form.news);
    set.rules = form.rules;
    presentSettings(set, model_);
}

void Game::mnuLevel_Click(int index) {
    if (index != 0 && index != 2) return;
    s_.levelSelected = true;
    const bool novice = index == 0;
    if (novice) {
        // A novice game trades Oil for a quarter.
        s_.clock.setLength(90);
        s_.settings.length = GameLength::Quarter;
    } else {
        s_.settings.news.selectLevel(levelName(Level::Expert));
    }
    SetLevel(novice ? Level::Novice : Level::Expert);
}

void Game::mnuDat_Click(int index) {
    if (index != 0 && index != 1) return;
    s_.settings.data = index == 1 ? DataMode::Tick : DataMode::Daily;
    presentSettings(s_.settings, model_);
}

void Game::mnuGameLength_Click(int index) {
    if (index < 2 || index > 4) return;
    s_.settings.length = index == 4 ? GameLength::Year : index == 3 ? GameLength::Quarter : GameLength::Month;
    s_.clock.setLength(s_.settings.lengthDays(365));
    presentSettings(s_.settings, model_);
    LevelSummary summary;
    summary.level = levelName(s_.settings.level);
    summary.gameLength = index == 4   ? QStringLiteral("One Year")
                         : index == 3 ? QStringLiteral("One Quarter")
                                      : QStringLiteral("One Month");
    summary.news = s_.settings.news.summaryText();
    summary.data = dataModeName(s_.settings.data);
    s_.levelSelected = dialogs_.levelSelected(summary);
    UpdateTradeDayandGraphs();
}

void Game::mnuNews_Click(int index) {
    if (index == 2) {
        // The background story needs a game date to look back from.
        if (s_.clock.periodIndex() >= 1) news_.ShowBackgroundStory();
        return;
    }
    if (index != 0 && index != 1) return;
    s_.settings.news.toggle(index == 1 ? NewsOption::Daily : NewsOption::Annual);
    presentSettings(s_.settings, model_);
}

void Game::mnuMaximum_Click(int index) {
    if (index != 0 && index != 1) return;
    s_.settings.maximumDisplay = index == 1 ? MaximumDisplay::Positions : MaximumDisplay::Transaction;
    presentSettings(s_.settings, model_);
    desk_.maximumDisplayChanged();
}

} // namespace pellucar
