#include "app/desk/news_desk.h"
#include "app/game/game.h"
#include "app/view/desk_presenter.h"
#include "app/view/quote_presenter.h"
#include "common/format.h"

#include <cmath>
#include <memory>

namespace pellucar {

void Game::StorePeriodPrices() {
    s_.prices.storePeriod(s_.market, s_.clock.dataMode(), s_.clock.calendarPosition(), s_.clock.periodIndex(),
                          s_.settings.level);
    ShowCurrentMarket();
}

void Game::ShowCurrentMarket() {
    presentQuotes(s_.prices, s_.clock.periodIndex(), s_.settings.level, model_, measure_, &quoteTexts_);
}

void Game::ShowLastPrices() {
    presentLastPrices(s_.prices, s_.clock.periodIndex(), s_.settings.level, s_.clock.dataMode() == DataMode::None,
                      model_);
}

bool Game::LoadGamePeriod() {
    if (!OpenMarketDatabase()) return false;
    // The period is read into a copy: a read that fails halfway leaves the
    // game's data (and the tick cache) as they were.
    auto next = std::make_unique<MarketData>(s_.market);
    next->clearPeriod();
    const bool oneMonth = s_.clock.setupLength() == GameLength::Month;
    const int n =
        LoadTradingDays(db_, dataModeName(s_.clock.dataMode()), oneMonth, s_.clock.startDate(), next->tradingDays);
    bool ok = n != kLoadFailed;
    if (ok && n > 0) {
        dialogs_.busy(true);
        if (s_.clock.dataMode() == DataMode::Daily) {
            for (int id = 1; ok && id <= kMarketCount; ++id)
                ok = LoadDailyData(db_, id, s_.clock.startDate(), next->series[id]) != kLoadFailed;
            if (ok) AlignSeriesToTradingDays(*next);
        } else if (s_.clock.dataMode() == DataMode::Tick) {
            const QDate end = s_.clock.startDate().addMonths(oneMonth ? 1 : 3);
            MarketData& md = *next;
            // The same tick period again keeps the ticks already read; a
            // period that only shares its start or its end with the last one
            // is read anew, or a quarter would be played on a month of ticks.
            const bool cached = md.lastLoadedMode == DataMode::Tick && md.lastTickStart == s_.clock.startDate() &&
                                md.lastTickEnd == end && md.tickDayCount() == n;
            if (!cached) {
                md.startTickDays();
                dialogs_.loading(true);
                // Each market's read is an equal share of the whole.
                const int total = kMarketCount * md.tickDayCount();
                for (int id = 1; ok && id <= kMarketCount; ++id) {
                    const int before = (id - 1) * md.tickDayCount();
                    const auto progress = [&](int days) { dialogs_.loadingProgress(before + days, total); };
                    ok = LoadTickData(db_, id, s_.clock.startDate(), oneMonth, md, progress) != kLoadFailed;
                }
                dialogs_.loading(false);
                md.lastTickStart = s_.clock.startDate();
                md.lastTickEnd = end;
                md.lastLoadedMode = DataMode::Tick;
            }
        }
        dialogs_.busy(false);
    }
    if (!ok) {
        reportDatabaseFailure(dialogs_, db_);
        return false;
    }
    s_.market = std::move(*next);
    s_.clock.periodLoaded(n);
    charts_.forgetPeriod();
    charts_.PrepareCharts();
    if (s_.clock.dataMode() == DataMode::Tick) {
        news_.newGame();
        news_.ReadPeriodStories();
    }
    return true;
}

} // namespace pellucar
