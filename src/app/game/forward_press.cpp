#include "app/game/game.h"
#include "app/state/clock.h"
#include "app/state/settings.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"
#include "charts/chart_options.h"
#include "common/dates.h"

#include <QScopeGuard>

#include <utility>

namespace pellucar {

void Game::btnChangePeriod_Click() {
    // Lock: Forward, Trade and the reports wait until the press is over, the
    // window until the period has moved on. However the press ends, the
    // charts it held back are drawn.
    pressRunning_ = windowLocked_ = true;
    const auto unlock = qScopeGuard([this] {
        pressRunning_ = windowLocked_ = false;
        charts_.RefreshDeferredCharts();
    });
    s_.market.lastLoadedMode = s_.clock.dataMode();
    dialogs_.processEvents();
    MoveCalendar();
    if (s_.clock.atEnd(s_.market)) return EndGameFromPress();
    RestoreMarketBanner();
    if (!LiquidateForPress()) return;
    StartPeriodPrices();
    news_.GiveHints();
    AdvancePeriod(); // prices, news, charts, revaluation, margin check
    windowLocked_ = false;
    s_.clock.setTickGameDates(s_.market);
    if (s_.clock.periodIndex() > 0 && (s_.clock.endOfData() || s_.clock.atEnd(s_.market))) {
        s_.clock.markOutOfData();
        return EndGameFromPress();
    }
    // A game reset at its last period has been read here.
    s_.clock.clearRestartRequest();
}

void Game::EndGameFromPress() {
    windowLocked_ = false;
    GameOver();
}

void Game::RestoreMarketBanner() {
    const QString banner = QString::fromLatin1(kMarketBannerText);
    if (model_.text(controlKey<keys::kMarketBanner>()) != banner)
        model_.setText(controlKey<keys::kMarketBanner>(), banner);
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
    s_.prices.previous = s_.clock.periodIndex() == 0 ? std::as_const(s_.prices).record(0) : s_.prices.current;
    static const ControlKey ordersSelected(QStringLiteral("lblMaxSelected"));
    model_.setText(ordersSelected, QString());
    s_.prices.current = PriceRecord{};
}

void Game::MoveCalendar() {
    s_.clock.moveCalendar(s_.market);
    if (s_.clock.dataMode() != DataMode::Daily) return;
    // The date is shown with the period's prices, when the period itself
    // moves on; the charts wait for it too.
    dialogs_.processEvents();
    charts_.deferRefresh();
}

void Game::AdvancePeriod() {
    const bool tick = s_.clock.dataMode() == DataMode::Tick;
    desk_.dropOrder();

    if (s_.clock.finalDayNotice(s_.market.tradingDays)) {
        NotifyPlayer(QStringLiteral("Trader Notification"), QStringLiteral("   * Begin Final Day of Trading *"));
        layoutCharts(model_);
    }
    const GameClock::Step step = s_.clock.advance();
    // The date moves with the period, so the window never shows a day
    // ahead of its prices.
    if (!tick) ShowGameDate();
    if (s_.clock.periodIndex() == 1) model_.setText(controlKey<keys::kNewGame>(), QStringLiteral("&Restart"));

    if (step == GameClock::Step::LastPeriod) {
        SetTradeTimeLabel(s_.clock.periodIndex());
        // The last hour's stories came with the press that reached it.
        if (tick)
            model_.setText(controlKey<keys::kDate>(),
                           QStringLiteral("Date: ") + shortDate(currentTickDate(s_.clock, s_.market)));
        GameOver();
        if (s_.clock.restartRequested()) {
            ResetGame();
            desk_.SetOrderState(OrderState::Restart);
            StorePeriodPrices();
        } else {
            desk_.SetOrderState(OrderState::ChangePeriod);
        }
        return;
    }

    SetTradeTimeLabel(s_.clock.periodIndex());
    ShowDayCaption();
    if (tick) {
        model_.setText(controlKey<keys::kDate>(),
                       QStringLiteral("Date: ") + shortDate(currentTickDate(s_.clock, s_.market)));
        model_.setText(controlKey<keys::kWeekday>(), weekdayName(currentGameDate(s_.clock, s_.market)));
        news_.GetNewsReleases();
    }
    StorePeriodPrices();
    s_.prices.current = std::as_const(s_.prices).record(s_.clock.periodIndex());
    // Working orders fill at this period's prices, before the account is
    // valued, so a stop can spare the account a margin call.
    FillWorkingOrders();
    if (s_.clock.periodIndex() > 0) {
        // This redraw replaces the one the press held back.
        charts_.RefreshCharts();
    }
    RevalueAccount();
    static const ControlKey totalTrades(QStringLiteral("lblTotTrades"));
    if (s_.clock.periodIndex() > 0) model_.setVisible(totalTrades, true);
    MarginCallCheck();
}

void Game::ShowDayCaption() {
    // The day caption counts trading days: one per period in daily games,
    // one per six hours in tick games.
    model_.setText(controlKey<keys::kDayCaption>(), QStringLiteral("Day %1:").arg(s_.clock.dayNumber()));
}

void Game::UpdateTradeDayandGraphs() {
    if (s_.clock.dataMode() == DataMode::Daily) {
        s_.clock.moveTradingDay(s_.market.tradingDays);
        dialogs_.processEvents();
        ShowGameDate();
        charts_.RefreshCharts();
    } else if (s_.clock.dataMode() == DataMode::Tick && s_.clock.periodIndex() > 0) {
        model_.setText(controlKey<keys::kDate>(),
                       QStringLiteral("Date: ") + shortDate(currentTickDate(s_.clock, s_.market)));
        model_.setText(controlKey<keys::kTime>(), traderTickTime(s_.clock.periodIndex()));
    }
}

QDate Game::ShowGameDate() {
    const QDate date = currentGameDate(s_.clock, s_.market);
    if (s_.clock.dataMode() != DataMode::Tick && date.isValid() &&
        (!s_.clock.endDate().isValid() || date < s_.clock.endDate())) {
        model_.setText(controlKey<keys::kDate>(), QStringLiteral("Date: ") + shortDate(date));
        // The weekday of the date the label shows.
        model_.setText(controlKey<keys::kWeekday>(), weekdayName(date));
    }
    return date;
}

void Game::SetTradeTimeLabel(int n) {
    if (s_.clock.dataMode() == DataMode::Tick) model_.setText(controlKey<keys::kTime>(), traderTickTime(n));
    else model_.setText(controlKey<keys::kTime>(), QStringLiteral("4:00 pm"));
}

} // namespace pellucar
