#include "app/desk_presenter.h"
#include "app/game.h"
#include "app/game_news.h"
#include "app/quote_presenter.h"
#include "common/format.h"

#include <cmath>
#include <memory>

namespace pellucar {


double Game::SeriesClose(int commodityId) const {
    if (commodityId < 1 || commodityId > kMarketCount) return -1;
    const MarketSeries& series = s_.market.series[commodityId];
    const int r = s_.market.tradingDays.position;
    if (r < 0 || r >= series.count()) return -1;
    if (s_.periodIndex < series.count()) return r >= 1 ? series.rows[r - 1].close : -1;
    return series.rows[r].close;
}

double Game::MarketPrice(int commodityId) const {
    if (commodityId < 1 || commodityId > kMarketCount) return -1;
    return static_cast<float>(SeriesClose(commodityId));
}

void Game::StorePeriodPrices() {
    const int p = s_.periodIndex;
    PriceHistory& h = s_.prices;
    const bool novice = s_.settings.level == Level::Novice;
    const bool tick = s_.dataMode == DataMode::Tick;

    auto tickPrice = [&](Market m) -> double {
        const int day = charts::tickDayOf(p);
        if (day >= s_.market.tickDayCount) return 0;
        return s_.market.tickDays[static_cast<size_t>(day)].periods[commodityId(m)][charts::tickOfDay(p)].price;
    };

    if (s_.dataMode == DataMode::Daily || (tick && p > 0)) {
        PriceRecord& rec = h.record(p);
        const float oil = tick ? static_cast<float>(tickPrice(Market::Oil))
                               : (p >= 1 ? static_cast<float>(MarketPrice(3)) : 0.0f);
        rec.oil = static_cast<float>(roundDecimalF(oil, 2));
        h.current.oil = rec.oil;
        if (p == 1) h.previous.oil = oil;
        if (!novice) {
            float gold, sp500, cattle, soybean;
            double tbond;
            if (tick) {
                gold = static_cast<float>(tickPrice(Market::Gold));
                sp500 = static_cast<float>(tickPrice(Market::SP500));
                cattle = static_cast<float>(tickPrice(Market::Cattle));
                tbond = roundByPattern(tickPrice(Market::TBond), QStringLiteral("#,###.#####"));
                soybean = static_cast<float>(
                    roundByPatternF(static_cast<float>(tickPrice(Market::Soybean)), QStringLiteral("#,###.#0##")));
            } else {
                gold = static_cast<float>(MarketPrice(2));
                tbond = static_cast<float>(MarketPrice(6));
                sp500 = static_cast<float>(MarketPrice(4));
                cattle = static_cast<float>(MarketPrice(1));
                soybean = static_cast<float>(roundByPatternF(static_cast<float>(MarketPrice(5)) / 100.0f,
                                                             QStringLiteral("#,##.#0##")));
            }
            const float gold2 = static_cast<float>(roundDecimalF(gold, 2));
            const float sp2 = static_cast<float>(roundDecimalF(sp500, 2));
            const float cattle2 = static_cast<float>(roundDecimalF(cattle, 2));
            if (p == 1) {
                h.previous.gold = gold2;
                h.previous.sp500 = sp2;
                h.previous.cattle = cattle2;
                h.previous.soybean = static_cast<float>(roundDecimalF(soybean, 2));
                h.previous.tbond = static_cast<float>(tbond);
            }
            rec.gold = gold2;
            rec.sp500 = sp2;
            rec.cattle = cattle2;
            rec.tbond = tbond;
            rec.soybean = soybean;
            h.current.gold = rec.gold;
            h.current.sp500 = rec.sp500;
            h.current.cattle = rec.cattle;
            h.current.tbond = rec.tbond;
            h.current.soybean = rec.soybean;
        }
    }
    h.applyFloorsAndQuotes(p, s_.settings.level == Level::Expert);
    ShowCurrentMarket();
}

void Game::ShowCurrentMarket() {
    presentQuotes(s_.prices, s_.periodIndex, s_.settings.level, model_, measure_);
}

void Game::ShowLastPrices() {
    presentLastPrices(s_.prices, s_.periodIndex, s_.settings.level, s_.dataMode == DataMode::None, model_);
}

bool Game::LoadGamePeriod() {
    if (!OpenMarketDatabase()) return false;
    // The period is read into a copy: a read that fails halfway leaves the
    // game's data (and the tick cache) as they were.
    auto next = std::make_unique<MarketData>(s_.market);
    next->clearPeriod();
    const bool oneMonth = s_.setupLength == TimePeriodForm::Length::Month;
    const int n = LoadTradingDays(db_, dataModeName(s_.dataMode), oneMonth, s_.gameStartDate, next->tradingDays);
    bool ok = n != kLoadFailed;
    if (ok && n > 0) {
        dialogs_.busy(true);
        if (s_.dataMode == DataMode::Daily) {
            for (int id = 1; ok && id <= kMarketCount; ++id)
                ok = LoadDailyData(db_, id, s_.gameStartDate, next->series[id]) != kLoadFailed;
            if (ok) AlignSeriesToTradingDays(*next);
        } else if (s_.dataMode == DataMode::Tick) {
            const QDate end = s_.gameStartDate.addMonths(oneMonth ? 1 : 3);
            MarketData& md = *next;
            // The same tick period again keeps the ticks already read; a
            // period that only shares its start or its end with the last one
            // is read anew, or a quarter would be played on a month of ticks.
            const bool cached = md.lastLoadedMode == QLatin1String("Tick") && md.lastTickStart == s_.gameStartDate &&
                                md.lastTickEnd == end && md.tickDayCount == n;
            if (!cached) {
                md.tickDays = {};
                md.tickDayCount = std::min(n, kTickDayCapacity);
                for (int d = 0; d < md.tickDayCount; ++d)
                    md.tickDays[static_cast<size_t>(d)].date = md.tradingDays.days[d];
                dialogs_.loading(true);
                // Each market's read is an equal share of the whole.
                const int total = kMarketCount * md.tickDayCount;
                for (int id = 1; ok && id <= kMarketCount; ++id) {
                    const int before = (id - 1) * md.tickDayCount;
                    const auto progress = [&](int days) { dialogs_.loadingProgress(before + days, total); };
                    ok = LoadTickData(db_, id, s_.gameStartDate, oneMonth, md, progress) != kLoadFailed;
                }
                dialogs_.loading(false);
                md.lastTickStart = s_.gameStartDate;
                md.lastTickEnd = end;
                md.lastLoadedMode = QStringLiteral("Tick");
            }
        }
        dialogs_.busy(false);
    }
    if (!ok) {
        reportDatabaseFailure(dialogs_, db_);
        return false;
    }
    s_.market = std::move(*next);
    s_.tradingDayCount = n;
    charts_.forgetPeriod();
    charts_.PrepareCharts();
    if (s_.dataMode == DataMode::Tick) {
        s_.news.clear();
        news_.ReadPeriodStories();
    }
    return true;
}

} // namespace pellucar
