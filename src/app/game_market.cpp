#include "app/game.h"
#include "common/format.h"

#include <cmath>

namespace pellucar {

namespace {

QString quoteKey(Market m) { return QStringLiteral("lbl%1CurrMark").arg(marketName(m)); }

// "  +0.25", "   -0.25" or "   Unch" after a price.
QString changeText(double change, const QString& number) {
    if (change > 0) return QStringLiteral("  +") + number;
    if (change < 0) return QStringLiteral("   ") + number;
    return QStringLiteral("   Unch");
}

// Soybean prices are shown in whole cents and quarter cents. The cents are
// taken from the price's decimal text so a single-precision 6.12 (a hair
// below in binary) still reads 612 cents and not 611.
QString soybeanText(float price) {
    const double cents = roundDecimal(roundDecimalF(price, 5) * 100.0, 3);
    const double whole = std::trunc(cents);
    QString text = QStringLiteral("$") + formatStandard(whole / 100.0) + ' ';
    const int quarter = static_cast<int>(std::lround(roundDecimal(cents - whole, 3) * 100.0));
    if (quarter == 25) text += QStringLiteral(" 1/4");
    else if (quarter == 50) text += QStringLiteral(" 1/2");
    else if (quarter == 75) text += QStringLiteral(" 3/4");
    return text;
}

// T-Bond prices are quoted in points and 32nds: "$118 16/32".
QString tbondPriceText(double price) {
    const double whole = std::floor(price + 1e-9);
    QString text = QStringLiteral("$") + QString::number(static_cast<long long>(whole));
    const long long thirtySeconds = std::llround((price - whole) * 32.0);
    if (thirtySeconds != 0) text += QStringLiteral(" %1/32").arg(thirtySeconds);
    return text;
}

QString tbondChangeText(double change) {
    if (change == 0) return QStringLiteral("   Unch");
    if (std::fabs(change) < 1.0) {
        const long long n = std::llround(change * 32.0);
        return (change > 0 ? QStringLiteral(" +") : QStringLiteral("  ")) + QString::number(n) +
               QStringLiteral("/32");
    }
    // A move of a point or more: whole points, then the 32nds, with the sign
    // in front ("  +1 8/32", "   -1 8/32").
    const double size = std::fabs(change);
    const long long whole = static_cast<long long>(std::floor(size + 1e-9));
    const long long frac = std::llround((size - whole) * 32.0);
    QString text = change > 0 ? QStringLiteral("  +") : QStringLiteral("   -");
    text += QString::number(whole);
    if (frac != 0) text += QStringLiteral(" %1/32").arg(frac);
    return text;
}

} // namespace

int Game::TickDayOf(int n) { return n < 1 ? 0 : (n - 1) / 6; }

int Game::TickOfDay(int n) {
    const int h = n % 6;
    return h == 0 ? 6 : h;
}

QString Game::TraderTickTime(int n) {
    static const char* labels[] = {"2:00 pm", "9:00 am", "10:00 am", "11:00 am", "12:00 pm", "1:00 pm"};
    if (n < 1) return {};
    return QString::fromLatin1(labels[n % 6]);
}

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
        const int day = TickDayOf(p);
        if (day >= s_.market.tickDayCount) return 0;
        return s_.market.tickDays[static_cast<size_t>(day)].periods[commodityId(m)][TickOfDay(p)].price;
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
    const int p = s_.periodIndex;
    if (p == 0)
        for (Market m : kTradingOrder) model_.setText(quoteKey(m), QStringLiteral("*** Market Closed ***"));
    if (p <= 0) return;
    const bool expert = s_.settings.level == Level::Expert;
    const PriceHistory& h = s_.prices;
    const PriceRecord& rec = h.record(p);
    const PriceRecord& prev = h.record(p - 1);

    for (Market m : kTradingOrder) {
        if (m == Market::TBond && !expert) continue;
        const double price = rec.get(m);

        QString text;
        switch (m) {
        case Market::Oil:
        case Market::Gold:
        case Market::SP500:
        case Market::Cattle: {
            const float now = static_cast<float>(price);
            text = QStringLiteral("$") + formatStandardF(now);
            if (p > 1) {
                const float change = now - static_cast<float>(prev.get(m));
                text += changeText(change, formatStandardF(change));
            }
            break;
        }
        case Market::Soybean: {
            const float now = rec.soybean;
            text = soybeanText(now);
            if (p > 1) {
                // The change in cents, from the two prices' cent texts.
                const double nowCents = roundByPatternF(now * 100.0f, QStringLiteral("#,##0.00"));
                const double prevCents = roundByPatternF(prev.soybean * 100.0f, QStringLiteral("#,##0.00"));
                const double change = roundDecimal(nowCents - prevCents, 2);
                text += changeText(change, formatPlain(change));
            }
            break;
        }
        case Market::TBond: {
            const QString priceText = tbondPriceText(price);
            text = priceText;
            if (p > 1) text += tbondChangeText(price - static_cast<double>(static_cast<float>(h.previous.tbond)));
            const int width = measure_ ? measure_(quoteKey(m), text) : static_cast<int>(text.size()) * 100;
            if (width > 5275) text = priceText;
            break;
        }
        }
        model_.setText(quoteKey(m), text);
    }
    for (Market m : kTradingOrder) model_.setVisible(quoteKey(m), expert || m == Market::Oil);
}

void Game::ShowLastPrices() {
    const PriceRecord& rec = s_.prices.record(s_.periodIndex);
    if (rec.oil != 0 && s_.periodIndex != 0) {
        model_.setText("lblOilCurrMark", QStringLiteral("$") + formatPlainF(rec.oil) + QStringLiteral(" Last"));
        if (s_.settings.level == Level::Expert) {
            for (Market m : {Market::Gold, Market::SP500, Market::TBond, Market::Cattle, Market::Soybean}) {
                const QString number =
                    m == Market::TBond ? formatPlain(rec.tbond) : formatPlainF(static_cast<float>(rec.get(m)));
                model_.setText(quoteKey(m), QStringLiteral("$") + number + QStringLiteral(" Last"));
            }
        }
    } else if (s_.dataMode == DataMode::None) {
        // No game has been set up yet: there is nothing to quote.
        marketsinvisible();
    }
}

void Game::LoadGamePeriod() {
    s_.market.clearPeriod();
    PrepareCharts();
    if (!OpenMarketDatabase()) return;
    const bool oneMonth = s_.setupLength == TimePeriodForm::Length::Month;
    const int n = LoadTradingDays(db_, dataModeName(s_.dataMode), oneMonth, s_.gameStartDate, s_.market.tradingDays);
    s_.tradingDayCount = n;
    if (n <= 0) return;
    dialogs_.busy(true);
    if (s_.dataMode == DataMode::Daily) {
        for (int id = 1; id <= kMarketCount; ++id) LoadDailyData(db_, id, s_.gameStartDate, s_.market.series[id]);
        AlignSeriesToTradingDays(s_.market);
    } else if (s_.dataMode == DataMode::Tick) {
        const QDate end = s_.gameStartDate.addMonths(oneMonth ? 1 : 3);
        MarketData& md = s_.market;
        s_.newsHistory.clear();
        // The same tick period again keeps the ticks already read; a period
        // that only shares its start or its end with the last one is read
        // anew, or a quarter would be played on a month of ticks.
        const bool cached = md.lastLoadedMode == QLatin1String("Tick") && md.lastTickStart == s_.gameStartDate &&
                            md.lastTickEnd == end && md.tickDayCount == n;
        if (!cached) {
            md.tickDays = {};
            md.tickDayCount = std::min(n, kTickDayCapacity);
            for (int d = 0; d < md.tickDayCount; ++d) md.tickDays[static_cast<size_t>(d)].date = md.tradingDays.days[d];
            dialogs_.loading(true);
            for (int id = 1; id <= kMarketCount; ++id) LoadTickData(db_, id, s_.gameStartDate, oneMonth, md);
            dialogs_.loading(false);
            md.lastTickStart = s_.gameStartDate;
            md.lastTickEnd = end;
            md.lastLoadedMode = QStringLiteral("Tick");
        }
    }
    dialogs_.busy(false);
}

QString Game::GetOverviewNews(const QDate& date, int commodityId) { return db_.overviewNews(date, commodityId); }

} // namespace pellucar
