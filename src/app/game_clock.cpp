#include "app/desk_presenter.h"
#include "app/game.h"
#include "app/game_calendar.h"
#include "common/dates.h"

#include <QScopeGuard>

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
    // Lock: Forward, Trade and the reports wait until the press is over, the
    // window until the period has moved on. However the press ends, the
    // charts it held back are drawn.
    pressRunning_ = windowLocked_ = true;
    const auto unlock = qScopeGuard([this] {
        pressRunning_ = windowLocked_ = false;
        charts_.RefreshDeferredCharts();
    });
    s_.market.lastLoadedMode = dataModeName(s_.dataMode);
    dialogs_.processEvents();
    MoveCalendar();
    if (CalendarAtEnd()) return EndGameFromPress();
    RestoreMarketBanner();
    if (!LiquidateForPress()) return;
    StartPeriodPrices();
    news_.GiveHints();
    AdvancePeriod(); // prices, news, charts, revaluation, margin check
    windowLocked_ = false;
    SetTickGameDates();
    if (s_.periodIndex > 0 && (s_.endOfData || CalendarAtEnd())) {
        s_.endOfData = true;
        return EndGameFromPress();
    }
    // A game reset at its last period has been read here.
    s_.restartRequested = 0;
}

void Game::EndGameFromPress() {
    windowLocked_ = false;
    GameOver();
}

void Game::RestoreMarketBanner() {
    const QString banner = QStringLiteral("  Current Market:    (Last Trade  *  Change)");
    if (model_.text("CurrMarkBanner") != banner) model_.setText("CurrMarkBanner", banner);
}

bool Game::LiquidateForPress() {
    s_.marginCallPending = false;
    ForceLiquidation();
    // The player sees the mandatory trades before the next press moves on;
    // a game that ended here does not move on at all.
    if (s_.marginCallPending) desk_.SetOrderState(OrderState::ChangePeriod);
    return !s_.marginCallPending && gameOnDesk_;
}

void Game::StartPeriodPrices() {
    // The per-period order counters start again (they live with the desk).
    s_.prices.previous = s_.periodIndex == 0 ? s_.prices.record(0) : s_.prices.current;
    model_.setText("lblMaxSelected", QString());
    s_.prices.current = PriceRecord{};
}

void Game::SetTickGameDates() {
    // A tick game's dates are those of its first loaded day.
    if (s_.dataMode != DataMode::Tick || s_.periodIndex != 1 || s_.market.tickDayCount <= 0) return;
    s_.gameStartDate = s_.market.tickDays[0].date;
    s_.gameEndDate = addLength(s_.gameStartDate, s_.setupLength == TimePeriodForm::Length::Month
                                                     ? TimePeriodForm::Length::Month
                                                     : TimePeriodForm::Length::Quarter);
}

void Game::MoveCalendar() {
    s_.endOfData = false;
    if (s_.dataMode == DataMode::Daily) {
        // The calendar moves now; the date is shown with the period's
        // prices, when the period itself moves on.
        AdvanceTradingDay();
        dialogs_.processEvents();
        charts_.deferRefresh();
    } else if (s_.dataMode == DataMode::Tick && s_.periodIndex == 0) {
        s_.gameEndDate = addLength(s_.gameStartDate, s_.setupLength);
    }
}

bool Game::CalendarAtEnd() const {
    const QDate shown = currentGameDate(s_);
    return !shown.isValid() || (s_.gameEndDate.isValid() && s_.gameEndDate <= shown);
}

void Game::AdvancePeriod() {
    const bool tick = s_.dataMode == DataMode::Tick;
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
    s_.periodIndex += 1;
    // The date moves with the period, so the window never shows a day
    // ahead of its prices.
    if (!tick) ShowGameDate();
    if (s_.periodIndex == 1) model_.setText("mnuNewGame", QStringLiteral("&Restart"));
    if (tick) s_.gameLengthDays = s_.tradingDayCount * 6 + 1;

    if (s_.periodIndex == s_.gameLengthDays) {
        // The last press: in tick games the clock stays on the last hour of
        // the last day. A daily game keeps its period count, so the summary
        // and a continuation see the game standing at its length.
        if (tick) s_.periodIndex = s_.tradingDayCount * 6;
        SetTradeTimeLabel(s_.periodIndex);
        // The last hour's stories came with the press that reached it.
        if (tick) model_.setText("lblDate", QStringLiteral("Date: ") + shortDate(currentTickDate(s_)));
        GameOver();
        if (s_.restartRequested == 1) {
            ResetGame();
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

void Game::UpdateTradeDayandGraphs() {
    if (s_.dataMode == DataMode::Daily) {
        AdvanceTradingDay();
        dialogs_.processEvents();
        ShowGameDate();
        charts_.RefreshCharts();
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
