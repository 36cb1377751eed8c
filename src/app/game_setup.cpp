#include "app/desk_presenter.h"
#include "app/game.h"

namespace pellucar {

namespace {

using Length = TimePeriodForm::Length;

} // namespace

void Game::mnuNewGame_Click() {
    if (s_.periodIndex > 0) {
        // During a game "Restart" shows where the player stands first.
        s_.totalPL = static_cast<float>(s_.desk.account.realizedPL() + s_.desk.account.unrealizedPL());
        mnuEnd_Click();
        RevalueAccount();
        return;
    }
    const Settings& set = s_.settings;
    form_.reset(levelName(set.level), dataModeName(set.data), set.length, set.newsChoice());
    // Cancel leaves every setting as it was: the form's choices only count
    // once the player presses Begin.
    if (!dialogs_.timePeriod(form_)) return;
    cmdBegin(form_);
    // A game that ended with Play Again leaves the restart flag set; the new
    // game must start with Forward free, so the flag is cleared here.
    s_.restartRequested = 0;

    SetOrderState(OrderState::ChangePeriod);
    model_.setText("mnuNewGame", QStringLiteral("&Restart"));
    s_.gameLengthDays = s_.settings.lengthDays(360);
    s_.dataMode = s_.settings.data;
    DisableSettingsMenus();
    ResetGame();
    LoadGamePeriod();
    s_.market.tradingDays.position = 0;
    // A fresh desk: the quote column is closed until the first period.
    setMarketLabelsVisible(model_, true);
    for (Market m : kTradingOrder) {
        const QString key = QStringLiteral("lbl%1CurrMark").arg(marketName(m));
        model_.setText(key, QStringLiteral("*** Market Closed ***"));
        const bool shown = s_.settings.level == Level::Expert || m == Market::Oil;
        model_.setVisible(key, shown);
        model_.setVisible(QStringLiteral("Label%1Mark").arg(marketName(m)), shown);
    }
    model_.setText("lblDate", QString());
    ShowAccountFigures();
    model_.setEnabled("btnChangePeriod", true);
    model_.setEnabled("btnTrade", false);
}

void Game::cmdBegin(const TimePeriodForm& form) {
    s_.levelSelected = true;
    const bool tick = form.data() == QLatin1String("Tick");
    int month = 1;
    int year = form.year;
    if (!form.random) {
        month = tick ? form.month : 1;
    } else if (tick) {
        if (form.length == Length::Month) {
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
    s_.gameStartDate = QDate(year, month, 1);
    s_.setupLength = tick && form.length == Length::Year ? Length::Quarter : form.length;
    switch (s_.setupLength) {
    case Length::Month: s_.gameEndDate = s_.gameStartDate.addMonths(1); break;
    case Length::Quarter: s_.gameEndDate = s_.gameStartDate.addMonths(3); break;
    case Length::Year: s_.gameEndDate = s_.gameStartDate.addMonths(12); break;
    }
    // Chart defaults come back for every new game.
    s_.graphType = QStringLiteral("MovingAverage");
    s_.movingAveragePeriods = 5;
    const int combo = model_.at("cboCommodity").currentIndex;
    s_.chartMarket = (combo >= 0 && combo < kMarketCount) ? combo + 1 : 3;
    LevelDetailChecker(form);
    SetLevel(levelOrExpert(form.level));
    s_.dataMode = dataModeFromName(form.data());
}

void Game::LevelDetailChecker(const TimePeriodForm& form) {
    Settings& set = s_.settings;
    set.level = levelOrExpert(form.level);
    set.data = dataModeFromName(form.data());
    set.length = set.data == DataMode::Tick && form.length == Length::Year ? Length::Quarter : form.length;
    const bool daily = form.news == QLatin1String("Daily");
    set.newsCounter = {daily ? 0 : 1, daily ? 1 : 0};
    presentSettings(set, model_);
}

void Game::mnuLevel_Click(int index) {
    if (index != 0 && index != 2) return;
    DisableGameMenus();
    s_.levelSelected = true;
    const bool novice = index == 0;
    if (novice) {
        // A novice game trades Oil for a quarter.
        s_.gameLengthDays = 90;
        s_.settings.length = Length::Quarter;
    } else {
        s_.settings.newsCounter = {1, 1};
    }
    SetLevel(novice ? Level::Novice : Level::Expert);
    EnableGameMenus();
}

void Game::mnuDat_Click(int index) {
    if (index != 0 && index != 1) return;
    s_.settings.data = index == 1 ? DataMode::Tick : DataMode::Daily;
    presentSettings(s_.settings, model_);
}

void Game::mnuGameLength_Click(int index) {
    if (index < 2 || index > 4) return;
    DisableGameMenus();
    s_.settings.length = index == 4 ? Length::Year : index == 3 ? Length::Quarter : Length::Month;
    s_.gameLengthDays = s_.settings.lengthDays(365);
    presentSettings(s_.settings, model_);
    LevelSummary summary;
    summary.level = levelName(s_.settings.level);
    summary.gameLength = index == 4 ? QStringLiteral("One Year")
                         : index == 3 ? QStringLiteral("One Quarter")
                                      : QStringLiteral("One Month");
    const bool annual = s_.settings.newsChecked(0);
    const bool daily = s_.settings.newsChecked(1);
    summary.news = annual && daily ? QStringLiteral("Annual Reports")
                   : daily         ? QStringLiteral("Daily Reports")
                                   : QStringLiteral("Annual Summary");
    summary.data = dataModeName(s_.settings.data);
    s_.levelSelected = dialogs_.levelSelected(summary);
    UpdateTradeDayandGraphs();
    EnableGameMenus();
}

void Game::mnuNews_Click(int index) {
    if (index == 2) {
        ShowBackgroundStory();
        return;
    }
    if (index != 0 && index != 1) return;
    model_.setEnabled("Kestrow", false);
    DisableGameMenus();
    s_.settings.newsCounter[static_cast<size_t>(index)] += 1;
    presentSettings(s_.settings, model_);
    EnableGameMenus();
    model_.setEnabled("Kestrow", true);
}

void Game::ShowBackgroundStory() {
    if (s_.periodIndex < 1) return;
    const QDate date = currentGameDate();
    // A date outside the played years keeps the previous lookup.
    if (date.isValid() && date.year() >= 1984 && date.year() <= 1997) s_.backgroundYear = date.year() - 1;
    if (s_.backgroundYear == 0) return;
    const QString text = GetOverviewNews(QDate(s_.backgroundYear, 1, 1), s_.chartMarket);
    const QString caption = marketNames().value(s_.chartMarket - 1) + QStringLiteral(" Futures Market: ") +
                            QString::number(s_.backgroundYear) + QStringLiteral(" News Background ");
    dialogs_.news(caption, text, 5000, true);
}

void Game::cboCommodity_Click(int index) {
    if (index < 0 || index >= kMarketCount) return;
    ControlState& combo = model_["cboCommodity"];
    combo.currentIndex = index;
    combo.text = combo.items.value(index);
    s_.chartMarket = index + 1;
    // Menu items follow the trading order, the combo the alphabetical list.
    static const int menuItemOfCombo[] = {4, 1, 0, 3, 5, 2};
    for (int i = 0; i < kMarketCount; ++i)
        model_.setChecked(PresentationModel::itemKey("mnuGraph", i), i == menuItemOfCombo[index]);
    RefreshCharts();
}

void Game::mnuGraph_Click(int index) {
    if (index < 0 || index >= kMarketCount) return;
    static const int idOfItem[] = {3, 2, 6, 4, 1, 5};
    s_.chartMarket = idOfItem[index];
    ControlState& combo = model_["cboCommodity"];
    combo.currentIndex = s_.chartMarket - 1;
    combo.text = combo.items.value(combo.currentIndex);
    for (int i = 0; i < kMarketCount; ++i) model_.setChecked(PresentationModel::itemKey("mnuGraph", i), i == index);
    RefreshCharts();
}

} // namespace pellucar
