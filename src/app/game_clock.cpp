#include "app/controls.h"
#include "app/desk_presenter.h"
#include "app/game.h"
#include "app/game_clock.h"
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

void GameClock::startUp() { s_.gameStartDate = QDate(1990, 12, 15); }

void GameClock::begin(QDate start, TimePeriodForm::Length length, DataMode mode) {
    s_.gameStartDate = start;
    s_.setupLength = mode == DataMode::Tick && length == TimePeriodForm::Length::Year ? TimePeriodForm::Length::Quarter
                                                                                    : length;
    s_.gameEndDate = addLength(start, s_.setupLength);
    s_.dataMode = mode;
}

void GameClock::setUp(const Settings& settings) {
    // A game that ended with Play Again leaves the restart request set; the
    // new game starts with Forward free.
    s_.restartRequested = false;
    s_.gameLengthDays = settings.lengthDays(360);
    s_.dataMode = settings.data;
}

void GameClock::reset() {
    s_.endOfData = false;
    s_.periodIndex = 0;
    s_.gameStarted = false;
}

void GameClock::playAgain(int lengthPeriods) {
    rewind();
    s_.periodIndex = 0;
    s_.gameLengthDays = lengthPeriods;
    s_.restartRequested = true;
}

void GameClock::moveCalendar() {
    s_.endOfData = false;
    if (s_.dataMode == DataMode::Daily) moveTradingDay();
    else if (s_.dataMode == DataMode::Tick && s_.periodIndex == 0)
        s_.gameEndDate = addLength(s_.gameStartDate, s_.setupLength);
}

void GameClock::moveTradingDay() {
    TradingDays& td = s_.market.tradingDays;
    const int p = td.position;
    if (p + 1 < td.count()) {
        td.position = (p != s_.periodIndex) ? s_.periodIndex + 1 : p + 1;
        if (td.position >= td.count()) td.position = td.count() - 1;
    } else {
        s_.endOfData = true;
    }
}

bool GameClock::atEnd() const {
    const QDate shown = currentGameDate(s_);
    return !shown.isValid() || (s_.gameEndDate.isValid() && s_.gameEndDate <= shown);
}

void GameClock::setTickGameDates() {
    if (s_.dataMode != DataMode::Tick || s_.periodIndex != 1 || s_.market.tickDayCount <= 0) return;
    s_.gameStartDate = s_.market.tickDays[0].date;
    s_.gameEndDate = addLength(s_.gameStartDate, s_.setupLength == TimePeriodForm::Length::Month
                                                     ? TimePeriodForm::Length::Month
                                                     : TimePeriodForm::Length::Quarter);
}

bool GameClock::finalDayNotice() {
    const bool tick = s_.dataMode == DataMode::Tick;
    const int length = tick ? s_.gameLengthDays : effectiveDailyLength(s_);
    if (length <= 15) return false;
    if (!tick) return s_.periodIndex == length - 2;
    s_.gameLengthDays = s_.tradingDayCount * 6 + 1;
    return s_.periodIndex == s_.tradingDayCount * 6 - 6;
}

GameClock::Step GameClock::advance() {
    const bool tick = s_.dataMode == DataMode::Tick;
    s_.periodIndex += 1;
    if (tick) s_.gameLengthDays = s_.tradingDayCount * 6 + 1;
    if (s_.periodIndex == s_.gameLengthDays) {
        if (tick) s_.periodIndex = s_.tradingDayCount * 6;
        return Step::LastPeriod;
    }
    if (s_.periodIndex == 1) s_.gameStarted = true;
    return s_.endOfData ? Step::OutOfData : Step::Advanced;
}

int GameClock::dayNumber() const {
    return s_.dataMode == DataMode::Tick ? charts::tickDayOf(s_.periodIndex) + 1 : s_.periodIndex;
}

bool GameClock::extend(Level level) {
    if (s_.periodIndex <= 0) return false;
    if (s_.dataMode == DataMode::Tick) s_.gameLengthDays = s_.tradingDayCount * 6;
    if (s_.gameLengthDays > s_.tradingDayCount || s_.periodIndex != s_.gameLengthDays) return false;
    const int more = level == Level::Novice ? 30 : 90;
    if (s_.gameLengthDays + more > 366) return false;
    s_.gameLengthDays += more;
    return true;
}

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
    if (clock_.atEnd()) return EndGameFromPress();
    RestoreMarketBanner();
    if (!LiquidateForPress()) return;
    StartPeriodPrices();
    news_.GiveHints();
    AdvancePeriod(); // prices, news, charts, revaluation, margin check
    windowLocked_ = false;
    clock_.setTickGameDates();
    if (s_.periodIndex > 0 && (s_.endOfData || clock_.atEnd())) {
        clock_.markOutOfData();
        return EndGameFromPress();
    }
    // A game reset at its last period has been read here.
    clock_.clearRestartRequest();
}

void Game::EndGameFromPress() {
    windowLocked_ = false;
    GameOver();
}

void Game::RestoreMarketBanner() {
    const QString banner = QStringLiteral("  Current Market:    (Last Trade  *  Change)");
    if (model_.text(keys::kMarketBanner) != banner) model_.setText(keys::kMarketBanner, banner);
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

void Game::MoveCalendar() {
    clock_.moveCalendar();
    if (s_.dataMode != DataMode::Daily) return;
    // The date is shown with the period's prices, when the period itself
    // moves on; the charts wait for it too.
    dialogs_.processEvents();
    charts_.deferRefresh();
}

void Game::AdvancePeriod() {
    const bool tick = s_.dataMode == DataMode::Tick;
    s_.desk.clearOrder();

    if (clock_.finalDayNotice()) {
        NotifyPlayer(QStringLiteral("Trader Notification"), QStringLiteral("   * Begin Final Day of Trading *"));
        layoutCharts(model_);
    }
    const GameClock::Step step = clock_.advance();
    // The date moves with the period, so the window never shows a day
    // ahead of its prices.
    if (!tick) ShowGameDate();
    if (s_.periodIndex == 1) model_.setText(keys::kNewGame, QStringLiteral("&Restart"));

    if (step == GameClock::Step::LastPeriod) {
        SetTradeTimeLabel(s_.periodIndex);
        // The last hour's stories came with the press that reached it.
        if (tick) model_.setText(keys::kDate, QStringLiteral("Date: ") + shortDate(currentTickDate(s_)));
        GameOver();
        if (s_.restartRequested) {
            ResetGame();
            desk_.SetOrderState(OrderState::Restart);
            StorePeriodPrices();
        } else {
            desk_.SetOrderState(OrderState::ChangePeriod);
        }
        return;
    }

    SetTradeTimeLabel(s_.periodIndex);
    ShowDayCaption();
    if (tick) {
        model_.setText(keys::kDate, QStringLiteral("Date: ") + shortDate(currentTickDate(s_)));
        model_.setText(keys::kWeekday, weekdayName(currentGameDate(s_)));
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
    model_.setText(keys::kDayCaption, QStringLiteral("Day %1:").arg(clock_.dayNumber()));
}

void Game::UpdateTradeDayandGraphs() {
    if (s_.dataMode == DataMode::Daily) {
        clock_.moveTradingDay();
        dialogs_.processEvents();
        ShowGameDate();
        charts_.RefreshCharts();
    } else if (s_.dataMode == DataMode::Tick && s_.periodIndex > 0) {
        model_.setText(keys::kDate, QStringLiteral("Date: ") + shortDate(currentTickDate(s_)));
        model_.setText(keys::kTime, traderTickTime(s_.periodIndex));
    }
}

QDate Game::ShowGameDate() {
    const QDate date = currentGameDate(s_);
    if (s_.dataMode != DataMode::Tick && date.isValid() &&
        (!s_.gameEndDate.isValid() || date < s_.gameEndDate)) {
        model_.setText(keys::kDate, QStringLiteral("Date: ") + shortDate(date));
        // The weekday of the date the label shows.
        model_.setText(keys::kWeekday, weekdayName(date));
    }
    return date;
}

void Game::SetTradeTimeLabel(int n) {
    if (s_.dataMode == DataMode::Tick) model_.setText(keys::kTime, traderTickTime(n));
    else model_.setText(keys::kTime, QStringLiteral("4:00 pm"));
}

} // namespace pellucar
