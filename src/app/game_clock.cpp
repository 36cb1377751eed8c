#include "app/desk_presenter.h"
#include "app/game.h"
#include "app/game_calendar.h"
#include "common/dates.h"

namespace pellucar {

namespace {

QDate addLength(const QDate& d, TimePeriodForm::Length len) {
    switch (len) {
    case TimePeriodForm::Length::Month: return d.addMonths(1);
    case TimePeriodForm::Length::Quarter: return d.addMonths(3);
    case TimePeriodForm::Length::Year: return d.addMonths(12);
    }
    return d;
}

} // namespace

void Game::btnChangePeriod_Click() {
    const bool daily = s_.dataMode == DataMode::Daily;
    const bool tick = s_.dataMode == DataMode::Tick;
    s_.market.lastLoadedMode = dataModeName(s_.dataMode);
    model_.setEnabled("btnChangePeriod", false);
    model_.setEnabled("btnTrade", false);
    dialogs_.processEvents();
    model_.setEnabled("Kestrow", false);

    if (daily) {
        s_.endOfData = false;
        UpdateTradeDayandGraphs(false);
        charts_.deferRefresh();
    }
    if (tick) {
        s_.endOfData = false;
        if (s_.periodIndex == 0) s_.gameEndDate = addLength(s_.gameStartDate, s_.setupLength);
    }

    // First end test: the calendar has reached the end of the game.
    QDate shown = ShowGameDate();
    if (!shown.isValid() || (s_.gameEndDate.isValid() && s_.gameEndDate <= shown)) {
        charts_.RefreshDeferredCharts();
        model_.setEnabled("Kestrow", true);
        GameOver();
        return;
    }

    setHistoryButtonsEnabled(model_, false);
    setGameMenusEnabled(model_, false);
    const QString banner = QStringLiteral("  Current Market:    (Last Trade  *  Change)");
    if (model_.text("CurrMarkBanner") != banner) model_.setText("CurrMarkBanner", banner);

    s_.marginCallPending = false;
    // A liquidation trades (its fills are charted) and tells the player.
    const Account& account = s_.desk.account;
    if (account.blownOut() || (s_.periodIndex >= 2 && account.marginCalled())) charts_.RefreshDeferredCharts();
    ForceLiquidation();
    if (s_.marginCallPending) {
        // The player sees the liquidation before the next press moves on.
        model_.setEnabled("btnChangePeriod", true);
        model_.setEnabled("btnTrade", true);
        model_.setEnabled("Kestrow", true);
        setGameMenusEnabled(model_, true);
        setHistoryButtonsEnabled(model_, true);
        desk_.SetOrderState(OrderState::ChangePeriod);
        return;
    }

    // The per-period order counters start again (they live with the desk).
    s_.prices.previous = s_.periodIndex == 0 ? s_.prices.record(0) : s_.prices.current;
    model_.setText("lblMaxSelected", QString());
    s_.prices.current = PriceRecord{};

    // A hint shows the window as it stands; the advisor is asked on a copy,
    // since asking it holds its next hints back.
    if (charts_.refreshDeferred()) {
        HintAdvisor probe = s_.hints;
        if (!probe.give(s_.periodIndex, s_.desk.tradeCount()).isEmpty()) charts_.RefreshDeferredCharts();
    }
    news_.GiveHints();
    AdvancePeriod();
    charts_.RefreshDeferredCharts();
    setGameMenusEnabled(model_, true);
    model_.setEnabled("Kestrow", true);

    if (tick && s_.periodIndex == 1 && s_.market.tickDayCount > 0) {
        s_.gameStartDate = s_.market.tickDays[0].date;
        s_.gameEndDate = addLength(s_.gameStartDate, s_.setupLength == TimePeriodForm::Length::Month
                                                         ? TimePeriodForm::Length::Month
                                                         : TimePeriodForm::Length::Quarter);
    }

    // Second end test: the calendar ran out or reached the end date.
    shown = ShowGameDate();
    if (s_.periodIndex > 0 &&
        (s_.endOfData || !shown.isValid() || (s_.gameEndDate.isValid() && s_.gameEndDate <= shown))) {
        s_.endOfData = true;
        GameOver();
        return;
    }

    if (s_.restartRequested == 1) {
        model_.setEnabled("btnChangePeriod", false);
        model_.setEnabled("btnTrade", false);
        s_.restartRequested = 0;
    } else {
        model_.setEnabled("btnChangePeriod", true);
        model_.setEnabled("btnTrade", s_.periodIndex > 0);
    }
    if (s_.periodIndex > 0) setHistoryButtonsEnabled(model_, true);
}

void Game::AdvancePeriod() {
    const bool tick = s_.dataMode == DataMode::Tick;
    if (charts_.refreshDeferred() && !tick) {
        // The final-day notice and the last press show the window before the
        // period's own redraw.
        const int length = effectiveDailyLength(s_);
        if ((length > 15 && s_.periodIndex == length - 2) || s_.periodIndex + 1 == s_.gameLengthDays)
            charts_.RefreshDeferredCharts();
    }
    s_.desk.clearOrder();

    const int length = tick ? s_.gameLengthDays : effectiveDailyLength(s_);
    if (length > 15) {
        bool notice = false;
        if (tick) {
            s_.gameLengthDays = s_.tradingDayCount * 6 + 1;
            notice = s_.periodIndex == s_.tradingDayCount * 6 - 6;
        } else {
            notice = s_.periodIndex == length - 2;
        }
        if (notice) {
            NotifyPlayer(QStringLiteral("Trader Notification"), QStringLiteral("   * Begin Final Day of Trading *"));
            layoutCharts(model_);
        }
    }
    if (s_.periodIndex == 0) setSettingsMenusEnabled(model_, false);
    s_.periodIndex += 1;
    if (s_.periodIndex == 1) model_.setText("mnuNewGame", QStringLiteral("&Restart"));
    if (tick) s_.gameLengthDays = s_.tradingDayCount * 6 + 1;

    if (s_.periodIndex == s_.gameLengthDays) {
        // The last press: in tick games the clock stays on the last hour of
        // the last day. A daily game keeps its period count, so the summary
        // and a continuation see the game standing at its length.
        if (tick) s_.periodIndex = s_.tradingDayCount * 6;
        SetTradeTimeLabel(s_.periodIndex);
        if (tick) {
            model_.setText("lblDate", QStringLiteral("Date: ") + shortDate(currentTickDate(s_)));
            news_.GetNewsReleases();
        }
        GameOver();
        if (s_.restartRequested == 1) {
            ResetGame();
            setSettingsMenusEnabled(model_, true);
            desk_.SetOrderState(OrderState::Restart);
            StorePeriodPrices();
        } else {
            desk_.SetOrderState(OrderState::ChangePeriod);
        }
        return;
    }

    if (s_.periodIndex == 1) s_.gameStarted = true;
    SetTradeTimeLabel(s_.periodIndex);
    ShowDayCaption();
    if (tick) {
        model_.setText("lblDate", QStringLiteral("Date: ") + shortDate(currentTickDate(s_)));
        model_.setText("lblDay", weekdayName(currentGameDate(s_)));
        news_.GetNewsReleases();
    }
    StorePeriodPrices();
    s_.prices.current = s_.prices.record(s_.periodIndex);
    if (s_.periodIndex > 0) {
        // This redraw replaces the one the press held back.
        charts_.RefreshCharts();
    }
    RevalueAccount();
    if (s_.periodIndex > 0) model_.setVisible("lblTotTrades", true);
    MarginCallCheck();
}

void Game::ShowDayCaption() {
    // The day caption counts trading days: one per period in daily games,
    // one per six hours in tick games.
    const int day = s_.dataMode == DataMode::Tick ? charts::tickDayOf(s_.periodIndex) + 1 : s_.periodIndex;
    model_.setText("LabelDay", QStringLiteral("Day %1:").arg(day));
}

void Game::UpdateTradeDayandGraphs(bool refreshCharts) {
    if (s_.dataMode == DataMode::Daily) {
        AdvanceTradingDay();
        dialogs_.processEvents();
        ShowGameDate();
        if (refreshCharts) charts_.RefreshCharts();
    } else if (s_.dataMode == DataMode::Tick && s_.periodIndex > 0) {
        model_.setText("lblDate", QStringLiteral("Date: ") + shortDate(currentTickDate(s_)));
        model_.setText("lblTradeTime", traderTickTime(s_.periodIndex));
    }
}

void Game::AdvanceTradingDay() {
    TradingDays& td = s_.market.tradingDays;
    const int p = td.position;
    if (p + 1 < td.count()) {
        td.position = (p != s_.periodIndex) ? s_.periodIndex + 1 : p + 1;
        if (td.position >= td.count()) td.position = td.count() - 1;
    } else {
        s_.endOfData = true;
    }
}

QDate Game::ShowGameDate() {
    const QDate date = currentGameDate(s_);
    if (s_.dataMode != DataMode::Tick && date.isValid() &&
        (!s_.gameEndDate.isValid() || date < s_.gameEndDate)) {
        model_.setText("lblDate", QStringLiteral("Date: ") + shortDate(date));
        // The weekday of the date the label shows.
        model_.setText("lblDay", weekdayName(date));
    }
    return date;
}

void Game::SetTradeTimeLabel(int n) {
    if (s_.dataMode == DataMode::Tick) model_.setText("lblTradeTime", traderTickTime(n));
    else model_.setText("lblTradeTime", QStringLiteral("4:00 pm"));
}

} // namespace pellucar
