// Seeded random order sequences through the limits, the account and the
// trade record, against a plain first-in, first-out model kept in whole
// numbers (prices and dollars in units of 1e-5), so that every rounding of
// the account is checked against exact decimal arithmetic.
#include "trading/account.h"
#include "trading/order_limits.h"
#include "trading/trade_log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <random>

using namespace pellucar;

namespace {

using Fixed = long long;
constexpr Fixed kScale = 100000;

size_t at(Market m) {
    return static_cast<size_t>(index(m));
}

// The contract terms as the model knows them, in trading order: each
// market's tick (Oil 0.01, Gold 0.10, TBond 1/32, SP500 0.05, Cattle 0.025,
// Soybean 0.0025), dollars per point, the step lot prices and differences
// round to (cents, or five decimals for TBond and Soybean), the position
// limit, and a start.
constexpr std::array<Fixed, kMarketCount> kTick{1000, 10000, 3125, 5000, 2500, 250};
constexpr std::array<Fixed, kMarketCount> kPointValue{1000, 100, 1000, 500, 400, 5000};
constexpr std::array<Fixed, kMarketCount> kLotStep{1000, 1000, 1, 1000, 1000, 1};
constexpr std::array<double, kMarketCount> kPositionLimit{200, 400, 100, 25, 500, 250};
constexpr std::array<Fixed, kMarketCount> kStart{20 * kScale,  380 * kScale, 100 * kScale,
                                                 400 * kScale, 70 * kScale,  6 * kScale};

Fixed roundTo(Fixed v, Fixed step) {
    const Fixed r = (std::llabs(v) + step / 2) / step * step;
    return v < 0 ? -r : r;
}

struct RefLot {
    Fixed units;
    Fixed price;
};

struct Reference {
    std::array<std::deque<RefLot>, kMarketCount> books;
    Fixed realized = 0;

    static Fixed lotStep(Market m) { return kLotStep[at(m)]; }
    static Fixed pointValue(Market m) { return kPointValue[at(m)]; }

    void fill(Market m, Fixed units, Fixed price) {
        auto& book = books[at(m)];
        Fixed rest = units;
        while (rest != 0 && !book.empty() && (book.front().units > 0) != (rest > 0)) {
            RefLot& lot = book.front();
            const Fixed matched =
                std::min(std::llabs(rest), std::llabs(lot.units)) * (lot.units > 0 ? 1 : -1);
            realized += matched * roundTo(price - lot.price, lotStep(m)) * pointValue(m);
            lot.units -= matched;
            rest += matched;
            if (lot.units == 0) book.pop_front();
        }
        if (rest != 0) book.push_back({rest, roundTo(price, lotStep(m))});
    }
    Fixed unrealized(Market m, Fixed price) const {
        Fixed sum = 0;
        for (const RefLot& lot : books[at(m)]) {
            const Fixed diff = price - lot.price;
            // TBond rounds the dollars per contract to three decimals.
            sum += m == Market::TBond ? lot.units * roundTo(diff * pointValue(m), 100)
                                      : lot.units * roundTo(diff, lotStep(m)) * pointValue(m);
        }
        return sum;
    }
    Fixed position(Market m) const {
        Fixed sum = 0;
        for (const RefLot& lot : books[at(m)])
            sum += lot.units;
        return sum;
    }
};

double dollars(Fixed v) {
    return static_cast<double>(v) / kScale;
}

struct Sequence {
    std::mt19937 rng;
    Level level;
    Account account;
    OrderLimits limits;
    TradeLog log;
    Reference ref;
    std::array<Fixed, kMarketCount> price = kStart;
    int executed = 0;
    int mandatory = 0;
    int refusals = 0;

    explicit Sequence(unsigned seed)
        : rng(seed), level(seed % 5 == 0 ? Level::Novice : Level::Expert), account(level) {
        if (seed % 3 == 0) account.reset(level, account.startingCapital() * 10);
    }

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    // Quotes as the game keeps them: 64-bit for TBond and Soybean, 32-bit
    // for the others.
    MarketPrices quotes() const {
        MarketPrices q{};
        for (Market m : kTradingOrder) {
            const double p = static_cast<double>(price[at(m)]) / kScale;
            const bool wide = m == Market::TBond || m == Market::Soybean;
            q[at(m)] = wide ? p : static_cast<double>(static_cast<float>(p));
        }
        return q;
    }

    void execute(Market m, float units, bool marginCall, int day) {
        if (log.full()) return;
        const double fillPrice = quotes()[at(m)];
        ASSERT_TRUE(account.applyFill(m, units, fillPrice).booked);
        account.revalue(quotes());
        ref.fill(m, std::llround(units), price[at(m)]);
        ASSERT_TRUE(log.record(day, m, sideOf(units), marginCall, units, static_cast<float>(fillPrice)));
        ++executed;
    }

    void day(int d) {
        const int swing = uniform(0, 9) == 0 ? 40 : 4;
        for (Market m : kTradingOrder)
            price[at(m)] = std::max(kTick[at(m)] * 10, price[at(m)] + kTick[at(m)] * uniform(-swing, swing));
        account.revalue(quotes());
        if (account.blownOut()) return;
        for (int step = 1; d >= 2 && step <= Account::kLiquidationSteps && account.marginCalled(); ++step) {
            if (auto trade = account.mandatoryTrade(step, quotes())) {
                execute(trade->market, trade->units, true, d);
                ++mandatory;
            }
        }
        for (int k = uniform(0, 3); k > 0 && !account.blownOut(); --k) {
            const Market m =
                level == Level::Novice ? Market::Oil : kTradingOrder[static_cast<size_t>(uniform(0, 5))];
            const Side side = uniform(0, 1) ? Side::Buy : Side::Sell;
            const int size = uniform(0, 9) == 0 ? uniform(1, 450) : uniform(1, 8);
            const UnitsCheck c = limits.check(m, side, QString::number(size), account);
            if (c.accepted())
                execute(m, c.units, false, d);
            else
                ++refusals;
            limits.releaseHeldMarket();
        }
    }

    void expectInvariants(unsigned seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        double unrealized = 0;
        for (Market m : kTradingOrder) {
            const LotBook& book = account.lots(m);
            const float position = account.position(m);
            const auto& refBook = ref.books[at(m)];
            EXPECT_LE(std::fabs(position), kPositionLimit[at(m)]);
            EXPECT_EQ(position, book.units());
            EXPECT_EQ(position, ref.position(m));
            EXPECT_LE(book.count(), LotBook::kCapacity);
            ASSERT_EQ(book.count(), static_cast<int>(refBook.size()));
            for (int i = 1; i <= book.count(); ++i) {
                EXPECT_GT(book.lot(i).units * position, 0) << marketName(m).toStdString() << " lot " << i;
                EXPECT_EQ(book.lot(i).units, refBook[static_cast<size_t>(i - 1)].units);
                EXPECT_EQ(book.lot(i).price,
                          static_cast<float>(dollars(refBook[static_cast<size_t>(i - 1)].price)));
            }
            const bool valued = level == Level::Expert || m == Market::Oil;
            const double expected = valued ? dollars(ref.unrealized(m, price[at(m)])) : 0.0;
            EXPECT_NEAR(account.unrealizedPL(m), expected, 1e-6) << marketName(m).toStdString();
            unrealized += expected;
        }
        EXPECT_NEAR(account.realizedPL(), dollars(ref.realized), 1e-6);
        // The account value is a 32-bit float: exact to the cent while it is
        // small, to half a float step beyond.
        const double value = account.startingCapital() + dollars(ref.realized) + unrealized;
        const float av = account.accountValue();
        const double halfStep = (std::nextafter(av, INFINITY) - av) / 2.0;
        EXPECT_NEAR(av, value, std::max(0.005, halfStep));
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
