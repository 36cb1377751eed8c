// Resting orders: the fill rules as one table and the checks at entry (random books against the fill model: the soak).
#include "trading/contract_terms.h"
#include "trading/working_orders.h"

#include <gtest/gtest.h>

using namespace pellucar;

namespace {

using enum Market;
using enum Side;
constexpr OrderType Limit = OrderType::Limit, Stop = OrderType::Stop, AtMarket = OrderType::Market;
using enum TimeInForce;
constexpr auto kNone = std::nullopt;

PeriodRange R(double o, double h, double l, double c) { return {o, h, l, c}; }
PeriodRange One(double p) { return PeriodRange::single(p); }

// A 32-bit market's range as a recorded period holds it (single precision).
PeriodRange F(float o, float h, float l, float c) { return {o, h, l, c}; }

// What happened, one event a word: period, F(illed) R(efused) E(xpired)
// O(ne-cancels-other) W(ith its entry), id, and for a fill @price x units.
QString describe(int period, const std::vector<OrderEvent>& events) {
    QString out;
    for (const OrderEvent& e : events) {
        const char kind = "FREOW"[static_cast<int>(e.kind)];
        out += QStringLiteral("%1:%2%3").arg(period).arg(QLatin1Char(kind)).arg(e.order.id);
        if (e.kind == OrderEventKind::Filled)
            out += QStringLiteral("@%1x%2").arg(e.price, 0, 'g', 10).arg(e.order.units);
        out += u' ';
    }
    return out;
}

// Five contracts of Oil, the market of every row but those on other markets' grids.
OrderRequest oil(Side side, OrderType type, double price, TimeInForce tif = UntilCancelled,
                 std::optional<double> stopLoss = kNone, std::optional<double> target = kNone) {
    return {Oil, side, 5, type, price, tif, stopLoss, target};
}
// The bracket most rows use: buy at 20.00, stop-loss 19.50 (id 2), target 21.00 (id 3).
const OrderRequest kBracket = oil(Buy, Limit, 20.00, UntilCancelled, 19.50, 21.00);
const OrderRequest kBracketToday = oil(Buy, Limit, 20, ThisPeriod, 19.50, 21.00), kBuy20 = oil(Buy, Limit, 20);
const OrderRequest kBuyToday = oil(Buy, Limit, 20, ThisPeriod), kStopOnly = oil(Buy, Limit, 20, UntilCancelled, 19.5);
const OrderRequest kSellNow = oil(Sell, AtMarket, 0, UntilCancelled, 20.5, 19.5);
const OrderRequest kSellStop = oil(Sell, Stop, 19, UntilCancelled, 19.5, 18); // stop-loss 19.50, target 18.00
const PeriodRange kBoth = R(20.5, 21.2, 19.4, 20.0); // reaches the bracket's stop and its target
const PeriodRange kGapUp = R(20.1, 20.2, 19.9, 20.0);

// One order or bracket of 5 contracts entered in `placedIn`, then periods 1, 2, ... with the ranges given.
// `act` on the book: a letter (p price, u units, x cancel, m cancel the market, e market entry executed,
// r refuse the fills), the order's id, "=value", and "@period" after which it happens (none: at once).
const struct {
    const char* name;
    OrderRequest request;
    std::vector<PeriodRange> periods;
    const char* expected;
    const char* act = "";
    int placedIn = 0;
} kCases[] = {
    // Buy limit 20.00.
    {"buy limit, gap down through it: the open", oil(Buy, Limit, 20), {R(19.80, 19.95, 19.70, 19.90)}, "1:F1@19.8x5"},
    {"buy limit, opens at it", oil(Buy, Limit, 20), {R(20.00, 20.50, 20.00, 20.20)}, "1:F1@20x5"},
    {"buy limit, low touches it exactly", oil(Buy, Limit, 20), {R(20.30, 20.40, 20.00, 20.10)}, "1:F1@20x5"},
    {"buy limit, low a tick above", oil(Buy, Limit, 20), {R(20.30, 20.40, 20.01, 20.10)}, ""},
    // Buy stop 21.00.
    {"buy stop, gap up through it: the open", oil(Buy, Stop, 21), {R(21.40, 21.50, 21.30, 21.40)}, "1:F1@21.4x5"},
    {"buy stop, high touches it exactly", oil(Buy, Stop, 21), {R(20.50, 21.00, 20.40, 20.90)}, "1:F1@21x5"},
    {"buy stop, high a tick below", oil(Buy, Stop, 21), {R(20.50, 20.99, 20.40, 20.90)}, ""},
    // Sales mirror.
    {"sell limit, gap up through it: the open", oil(Sell, Limit, 21), {R(21.30, 21.40, 21.20, 21.30)}, "1:F1@21.3x5"},
    {"sell limit, high touches it", oil(Sell, Limit, 21), {R(20.50, 21.00, 20.20, 20.60)}, "1:F1@21x5"},
    {"sell limit, low side of it", oil(Sell, Limit, 21), {R(20.50, 20.99, 20.20, 20.60)}, ""},
    {"sell stop, gap down through it: the open", oil(Sell, Stop, 19), {R(18.60, 18.80, 18.50, 18.70)}, "1:F1@18.6x5"},
    {"sell stop, low touches it", oil(Sell, Stop, 19), {R(19.50, 19.70, 19.00, 19.20)}, "1:F1@19x5"},
    {"sell stop, low a tick above", oil(Sell, Stop, 19), {R(19.50, 19.70, 19.01, 19.20)}, ""},
    {"market order: the next open", oil(Buy, AtMarket, 0), {R(20.10, 20.40, 19.90, 20.00)}, "1:F1@20.1x5"},
    // A settlement-only day or a tick hour: one price is the whole range.
    {"one price below a buy limit", oil(Buy, Limit, 20), {One(19.50)}, "1:F1@19.5x5"},
    {"one price at a buy stop", oil(Buy, Stop, 21), {One(21.00)}, "1:F1@21x5"},
    {"one price short of a sell stop", oil(Sell, Stop, 19), {One(19.01)}, ""},
    // Exact touches through the noise of stored prices.
    {"T-Bond 5/32", {TBond, Buy, 5, Limit, 118.15625}, {R(118.25, 118.5, 118.15625, 118.25)}, "1:F1@118.15625x5"},
    {"Soybean 1/4c, a hair above", {Soybean, Sell, 5, Stop, 7.0225}, {F(7.05, 7.06, 7.0225, 7.03)}, "1:F1@7.0225x5"},
    {"Cattle 0.025, a hair above", {Cattle, Buy, 5, Limit, 60.45}, {F(60.5, 60.6, 60.45, 60.475)}, "1:F1@60.45x5"},
    {"S&P, a hair below", {SP500, Buy, 5, Stop, 1001.55}, {F(1000.5, 1001.55, 1000, 1001)}, "1:F1@1001.55x5"},
    // Time.
    {"no fill in the period it was entered", kBuy20, {One(19.5), One(19.6)}, "2:F1@19.6x5", "", 1},
    {"this period only: dropped after its period", kBuyToday, {One(20.5), One(19.5)}, "1:E1"},
    {"this period only, placed in 1: fills in 2", kBuyToday, {One(19.5), One(19.6)}, "2:F1@19.6x5", "", 1},
    {"until cancelled: waits for its price", kBuy20, {One(20.5), One(20.3), One(19.9)}, "3:F1@19.9x5"},
    // Change and cancel.
    {"price changed before it fills", kBuy20, {One(19.8), One(19.5)}, "2:F1@19.5x5", "p1=19.5"},
    {"size changed", kBuy20, {One(19.8)}, "1:F1@19.8x9", "u1=9"},
    {"cancelled", kBuy20, {One(19.8)}, "", "x1"},
    {"its market cancelled", kBracket, {One(19.8), One(18)}, "", "m"},
    {"the game refuses the fill: gone", kBuy20, {One(19.8), One(19.7)}, "1:R1", "r"},
    // Brackets.
    {"bracket: exits start after the entry's period", kBracket, {R(20.2, 21.1, 19.4, 20.5), One(20.5)}, "1:F1@20x5"},
    {"bracket: target fills, stop off", kBracket, {One(19.9), R(20.5, 21.1, 20.4, 21)}, "1:F1@19.9x5 2:F3@21x5 2:O2"},
    {"bracket: both exits reached, the stop fills", kBracket, {One(19.9), kBoth}, "1:F1@19.9x5 2:F2@19.5x5 2:O3"},
    {"bracket: stop gapped through: the open", kStopOnly, {One(20), R(19, 19.2, 18.9, 19.1)}, "1:F1@20x5 2:F2@19x5"},
    {"bracket: exits sized to the changed entry", kBracket, {One(19.9), One(21)}, "1:F1@19.9x8 2:F3@21x8 2:O2", "u1=8"},
    {"bracket: a cancelled exit leaves the other", kBracket, {One(19.9), kBoth}, "1:F1@19.9x5 2:F3@21x5", "x2@1"},
    {"bracket: refused entry takes its exits", kBracket, {One(19.9), One(19.0)}, "1:R1 1:W2 1:W3", "r"},
    {"bracket: this-period entry expires with its exits", kBracketToday, {One(20.2)}, "1:E1 1:W2 1:W3"},
    {"bracket: filled today, exits stay", kBracketToday, {One(20), One(20.5), One(21.5)}, "1:F1@20x5 3:F3@21.5x5 3:O2"},
    {"bracket: market entry executed, exits next period", kSellNow, {One(19.4)}, "1:F3@19.4x6 1:O2", "e1=6"},
    {"sell bracket: stop gapped over", kSellStop, {R(19.2, 19.3, 18.9, 19), kGapUp}, "1:F1@19x5 2:F2@20.1x5 2:O3"},
};

} // namespace

TEST(WorkingOrders, FillRules) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        WorkingOrders book;
        const double reference = 20.00; // the quote a market entry is checked against
        OrderProblem problem = OrderProblem::None;
        ASSERT_EQ(book.place(c.request, c.placedIn, reference, &problem), 1) << static_cast<int>(problem);
        const QString move = QString::fromLatin1(c.act), head = move.section('@', 0, 0);
        const int on = head.mid(1).section('=', 0, 0).toInt(), after = move.section('@', 1).toInt();
        const double value = head.section('=', 1).toDouble();
        const bool refuse = head == "r";
        const auto act = [&] {
            switch (move.isEmpty() ? ' ' : move[0].toLatin1()) {
            case 'p': EXPECT_EQ(book.changePrice(on, value, after), OrderProblem::None); break;
            case 'u': EXPECT_EQ(book.changeUnits(on, static_cast<int>(value), after), OrderProblem::None); break;
            case 'x': EXPECT_FALSE(book.cancel(on).empty()); break;
            case 'm': EXPECT_EQ(book.cancelMarket(c.request.market).size(), 3u); break;
            case 'e': book.entryExecuted(on, static_cast<int>(value), after); break;
            }
        };
        if (after == 0) act();
        QString happened;
        for (int p = 1; p <= static_cast<int>(c.periods.size()); ++p) {
            PeriodRanges ranges;
            ranges[static_cast<size_t>(index(c.request.market))] = c.periods[static_cast<size_t>(p - 1)];
            happened += describe(p, book.step(p, ranges, [&](const OrderFill&) { return !refuse; }));
            if (after == p) act();
        }
        EXPECT_EQ(happened.trimmed(), QString::fromLatin1(c.expected));
    }
}

TEST(WorkingOrders, EntryChecksGridSizesAndExitSides) {
    const struct {
        const char* name;
        OrderRequest request;
        OrderProblem problem;
    } cases[] = {
        {"T-Bond 5/32", {TBond, Buy, 1, Limit, 118 + 5.0 / 32}, OrderProblem::None},
        {"Soybean a quarter cent", {Soybean, Sell, 1, Stop, 7.0175}, OrderProblem::None},
        {"largest order", {Oil, Buy, 400, Limit, 20.00}, OrderProblem::None},
        {"no contracts", {Oil, Buy, 0, Limit, 20.00}, OrderProblem::BadUnits},
        {"past the transaction limit", {Oil, Buy, 401, Limit, 20.00}, OrderProblem::BadUnits},
        {"Oil half a cent", {Oil, Buy, 1, Limit, 20.005}, OrderProblem::BadPrice},
        {"T-Bond a tenth", {TBond, Buy, 1, Limit, 118.1}, OrderProblem::BadPrice},
        {"Cattle a cent", {Cattle, Buy, 1, Limit, 60.43}, OrderProblem::BadPrice},
        {"no price", {Oil, Buy, 1, Stop, 0}, OrderProblem::BadPrice},
        {"not a number", {Oil, Buy, 1, Stop, std::nan("")}, OrderProblem::BadPrice},
        {"stop-loss off the grid", {Oil, Buy, 1, Limit, 20.00, UntilCancelled, 19.995}, OrderProblem::BadPrice},
        {"market order with a price", {Oil, Buy, 1, AtMarket, 20.00}, OrderProblem::MarketHasPrice},
        {"buy's stop-loss at the entry", {Oil, Buy, 1, Limit, 20.00, UntilCancelled, 20.00}, OrderProblem::ExitSide},
        {"buy's target below", {Oil, Buy, 1, Stop, 20.00, UntilCancelled, kNone, 19.99}, OrderProblem::ExitSide},
        {"sale's stop-loss below", {Oil, Sell, 1, Limit, 20.00, UntilCancelled, 19.99}, OrderProblem::ExitSide},
        {"market buy's stop over the quote", {Oil, Buy, 1, AtMarket, 0, UntilCancelled, 20.01}, OrderProblem::ExitSide},
        {"market sale's target under the quote",
         {Oil, Sell, 1, AtMarket, 0, UntilCancelled, 20.5, 19.99},
         OrderProblem::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkingOrders book;
        OrderProblem problem = OrderProblem::NoSuchOrder;
        const int id = book.place(c.request, 0, 20.00, &problem);
        EXPECT_EQ(problem, c.problem);
        EXPECT_EQ(id != 0, c.problem == OrderProblem::None);
        EXPECT_EQ(book.size(), id == 0 ? 0 : 1 + c.request.stopLoss.has_value() + c.request.target.has_value());
    }
    // Changes: a waiting exit's size follows its entry; a market order has no price.
    WorkingOrders book;
    book.place({Oil, Buy, 2, Limit, 20.00, UntilCancelled, 19.00}, 0, 0);
    book.place({Soybean, Buy, 2, AtMarket, 0}, 0, 7.0);
    book.place({Gold, Buy, 2, Stop, 400.0}, 0, 0);
    EXPECT_EQ(book.changeUnits(2, 3, 0), OrderProblem::NotChangeable);
    EXPECT_EQ(book.changePrice(2, 19.10, 0), OrderProblem::None);
    EXPECT_EQ(book.changePrice(3, 7.0, 0), OrderProblem::MarketHasPrice);
    EXPECT_EQ(book.changePrice(4, 400.05, 0), OrderProblem::BadPrice);
    EXPECT_EQ(book.changeUnits(9, 1, 0), OrderProblem::NoSuchOrder);
    std::vector<int> listed;
    for (const WorkingOrder& o : book.list()) listed.push_back(o.id);
    EXPECT_EQ(listed, (std::vector<int>{1, 2, 4, 3})); // Oil, Gold, Soybean
    EXPECT_EQ(orderProblemText(OrderProblem::BadPrice, TBond), "TBond prices are positive and move in steps of 1/32");
}

TEST(WorkingOrders, CommissionIsHalfTheRoundTurnAtEachFill) {
    EXPECT_EQ(commissionAtFill(5, kDefaultCommissionPerRoundTurn), 62.5);
    EXPECT_EQ(commissionAtFill(3, 25.01), 37.52);
    EXPECT_EQ(commissionAtFill(1, 0), 0);
}

TEST(WorkingOrders, TickGridHoldsEveryMarketsSteps) {
    const struct {
        Market market;
        double on, off;
    } cases[] = {{Oil, 14.53, 14.535},      {Gold, 380.7, 380.75},   {TBond, 98.96875, 98.98},
                 {SP500, 1001.55, 1001.52}, {Cattle, 60.425, 60.43}, {Soybean, 7.0175, 7.018}};
    for (const auto& c : cases) {
        SCOPED_TRACE(marketName(c.market).toStdString());
        EXPECT_TRUE(onTickGrid(c.market, c.on));
        EXPECT_TRUE(onTickGrid(c.market, static_cast<float>(c.on))); // as a recorded price holds it
        EXPECT_FALSE(onTickGrid(c.market, c.off));
        EXPECT_EQ(nearestTick(c.market, c.on + contractTerms(c.market).tick * 0.3), c.on);
    }
}
