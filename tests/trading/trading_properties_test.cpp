// Seeded random order sequences through limits, account and trade record, against the account model.
#include "support/account_model.h"
#include "support/random_player.h"
#include "trading/account.h"
#include "trading/order_limits.h"
#include "trading/trade_log.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pellucar;
using namespace pellucar::test;

namespace {

size_t at(Market m) { return static_cast<size_t>(index(m)); }

// Each market's tick (Oil 0.01, Gold 0.10, TBond 1/32, SP500 0.05, Cattle 0.025, Soybean 0.0025) and start, in 1e-5.
constexpr std::array<long long, kMarketCount> kTick{1000, 10000, 3125, 5000, 2500, 250};
constexpr std::array<long long, kMarketCount> kStart{2000000, 38000000, 10000000, 40000000, 7000000, 600000};
constexpr std::array<double, kMarketCount> kPositionLimit{200, 400, 100, 25, 500, 250};

struct Sequence {
    RandomPlayer player;
    Level level;
    Account account;
    OrderLimits limits;
    TradeLog log;
    AccountModel model;
    std::array<long long, kMarketCount> price = kStart;
    int executed = 0, mandatory = 0, refusals = 0;

    explicit Sequence(unsigned seed)
        : player(seed), level(seed % 5 == 0 ? Level::Novice : Level::Expert), account(level),
          model(level, account.startingCapital() * (seed % 3 == 0 ? 10 : 1)) {
        if (seed % 3 == 0) account.reset(level, account.startingCapital() * 10);
    }

    // Quotes as the game keeps them: 64-bit for TBond and Soybean, 32-bit for the others.
    MarketPrices quotes() const {
        MarketPrices q{};
        for (Market m : kTradingOrder) {
            const double p = AccountModel::dollars(price[at(m)]);
            q[at(m)] = m == Market::TBond || m == Market::Soybean ? p : static_cast<double>(static_cast<float>(p));
        }
        return q;
    }

    void execute(Market m, float units, bool marginCall, int day) {
        if (log.full()) return;
        const double fillPrice = quotes()[at(m)];
        ASSERT_TRUE(account.applyFill(m, units, fillPrice).booked);
        account.revalue(quotes());
        model.fill(m, std::llround(units), AccountModel::dollars(price[at(m)]));
        ASSERT_TRUE(log.record(day, m, sideOf(units), marginCall, units, static_cast<float>(fillPrice)));
        ++executed;
    }

    void day(int d) {
        const int swing = player.chance(0.1) ? 40 : 4;
        for (Market m : kTradingOrder)
            price[at(m)] = std::max(kTick[at(m)] * 10, price[at(m)] + kTick[at(m)] * player.between(-swing, swing));
        account.revalue(quotes());
        if (account.blownOut()) return;
        for (int step = 1; d >= 2 && step <= Account::kLiquidationSteps && account.marginCalled(); ++step) {
            if (auto trade = account.mandatoryTrade(step, quotes())) {
                execute(trade->market, trade->units, true, d);
                ++mandatory;
            }
        }
        for (int k = player.between(0, 3); k > 0 && !account.blownOut(); --k) {
            const RandomPlayer::Order o = player.order(level);
            // The maximum shown, and the one a refusal names, whatever the position already held.
            const long long most = model.allowedMaximum(o.market, o.side == Side::Buy, account.accountValue());
            EXPECT_EQ(OrderLimits::selectedMaximum(o.market, o.side, account), most);
            const UnitsCheck c = limits.check(o.market, o.side, QString::number(o.units), account);
            if (c.accepted()) execute(o.market, c.units, false, d);
            else ++refusals;
            if (c.message.contains('=')) {
                EXPECT_EQ(c.message, refusalMessage(c.refusal, o.market, static_cast<int>(most)));
            }
            limits.releaseHeldMarket();
        }
    }

    void expectInvariants(unsigned seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        for (Market m : kTradingOrder) {
            const LotBook& book = account.lots(m);
            const float position = account.position(m);
            const auto& lots = model.lots(m);
            EXPECT_LE(std::fabs(position), kPositionLimit[at(m)]);
            EXPECT_EQ(position, book.units());
            EXPECT_EQ(position, model.position(m));
            ASSERT_EQ(book.count(), static_cast<int>(lots.size()));
            for (int i = 1; i <= book.count(); ++i) {
                const AccountModel::Lot& lot = lots[static_cast<size_t>(i - 1)];
                EXPECT_EQ(book.lot(i).units, lot.units) << marketName(m).toStdString() << " lot " << i;
                EXPECT_EQ(book.lot(i).price, static_cast<float>(AccountModel::dollars(lot.price)));
            }
            EXPECT_NEAR(account.unrealizedPL(m), model.unrealized(m, AccountModel::dollars(price[at(m)])), 1e-6)
                << marketName(m).toStdString();
        }
        EXPECT_NEAR(account.realizedPL(), model.realized(), 1e-6);
        EXPECT_NEAR(account.marginRequirement(), model.marginRequirement(), 1e-6);
        // The account value is a 32-bit float: exact to the cent while small, to half a step beyond.
        MarketPrices exact{};
        for (Market m : kTradingOrder) exact[at(m)] = AccountModel::dollars(price[at(m)]);
        const float av = account.accountValue();
        const double halfStep = (std::nextafter(av, INFINITY) - av) / 2.0;
        EXPECT_NEAR(av, model.accountValue(exact), std::max(0.005, halfStep));
        EXPECT_EQ(log.count(), executed);
    }
};

} // namespace

TEST(TradingProperties, RandomOrderSequencesKeepBooksAccountAndRecordInStep) {
    int mandatory = 0, trades = 0, refusals = 0;
    for (unsigned seed = 1; seed <= 2000; ++seed) {
        Sequence s(seed);
        for (int d = 1; d <= 20 && !s.account.blownOut(); ++d) {
            s.day(d);
            s.expectInvariants(seed);
            if (testing::Test::HasFatalFailure()) return;
        }
        mandatory += s.mandatory;
        trades += s.executed;
        refusals += s.refusals;
    }
    // The sequences reach margin calls and refusals, not only quiet fills.
    EXPECT_GT(mandatory, 100);
    EXPECT_GT(refusals, 1000);
    EXPECT_GT(trades, 10000);
}
