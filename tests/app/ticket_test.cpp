// The order ticket read into an order and its risk, the order lines' labels and snapping, and the fills line.
#include "app/view/ticket_presenter.h"

#include <gtest/gtest.h>

using namespace pellucar;

namespace {

using enum Market;
using enum Side;
using enum OrderType;
using enum ExitUnit;
constexpr TimeInForce GTC = TimeInForce::UntilCancelled;

// A $100,000 account; Oil quoted 20.00 to buy and 19.98 to sell, T-Bond 98.5 both ways.
GameState deskState() {
    GameState s;
    s.desk.account.reset(Level::Expert, 100000);
    s.prices.buyQuote[index(Oil)] = 20.00;
    s.prices.sellQuote[index(Oil)] = 19.98;
    s.prices.buyQuote[index(TBond)] = s.prices.sellQuote[index(TBond)] = 98.5;
    return s;
}

constexpr auto none = std::nullopt;
const struct {
    const char* name;
    pellucar::Market market;
    Side side;
    const char* units;
    OrderType type;
    const char *price, *stop, *target;
    ExitUnit unit;
    std::optional<double> stopLoss, targetPrice; // of the order read; both empty when none is made
    const char* problem;
    const char* risk;
} kTickets[] = {
    {"limit with exit prices", Oil, Buy, "5", Limit, "19.50", "19.00", "21", Price, 19.00, 21.0, "",
     "$2,500.00 (2.50 % of the account)"},
    {"market entry measured from the quote", Oil, Sell, "2", Market, "", "10", "", Ticks, 20.08, none, "",
     "$200.00 (0.20 % of the account)"},
    {"ticks below a buy, above for its target", Oil, Buy, "1", Stop, "20.50", "25", "40", Ticks, 20.25, 20.90, "",
     "$250.00 (0.25 % of the account)"},
    {"dollars a contract to the nearest tick", Oil, Buy, "3", Limit, "19.50", "304", "", Dollars, 19.20, none, "",
     "$900.00 (0.90 % of the account)"},
    {"T-Bond 32nds in ticks", TBond, Buy, "1", Limit, "98.5", "8", "", Ticks, 98.25, none, "",
     "$250.00 (0.25 % of the account)"},
    {"no stop-loss", Oil, Buy, "1", Limit, "19.5", "", "", Price, none, none, "",
     "No stop-loss: the loss is not bounded"},
    {"no quantity", Oil, Buy, " ", Limit, "19.5", "", "", Price, none, none, "Enter the number of contracts", "-"},
    {"fractional quantity", Oil, Buy, "1.5", Limit, "19.5", "", "", Price, none, none, "Enter the number of contracts",
     "-"},
    {"limit without price", Oil, Buy, "1", Limit, "abc", "", "", Price, none, none, "Enter the limit price", "-"},
    {"negative stop", Oil, Buy, "1", Stop, "21", "-1", "", Price, none, none, "The stop-loss is not a positive number",
     "-"},
    {"part ticks", Oil, Buy, "1", Limit, "19", "", "2.5", Ticks, none, none, "The target is a whole number of ticks",
     "-"},
    {"dollars under a tick", Oil, Buy, "1", Limit, "19", "4", "", Dollars, none, none,
     "The stop-loss is less than one tick", "-"},
};

} // namespace

TEST(OrderTicket, ReadsFieldsIntoAnOrderAndItsRisk) {
    const GameState s = deskState();
    for (const auto& c : kTickets) {
        SCOPED_TRACE(c.name);
        const TicketReading r =
            readTicket({c.market, c.side, c.units, c.type, c.price, c.stop, c.target, c.unit, GTC}, s);
        EXPECT_EQ(r.problem, QString::fromUtf8(c.problem));
        EXPECT_EQ(r.risk, QString::fromUtf8(c.risk));
        ASSERT_EQ(r.request.has_value(), QString::fromUtf8(c.problem).isEmpty());
        if (!r.request) continue;
        EXPECT_EQ(r.request->units, QString::fromLatin1(c.units).toInt());
        EXPECT_EQ(r.request->stopLoss, c.stopLoss);
        EXPECT_EQ(r.request->target, c.targetPrice);
        // Whatever the ticket makes, no player could be refused it for its shape.
        EXPECT_EQ(requestProblem(*r.request, r.entry), OrderProblem::None);
    }
}

TEST(OrderTicket, LinesLabelSnapAndStep) {
    WorkingOrder o;
    o.side = Sell;
    o.units = 5;
    o.type = Stop;
    o.entry = 1;
    EXPECT_EQ(orderLineLabel(o, "13.90"), "Sell 5 STP 13.90 (waits)");
    const struct {
        const char* name;
        pellucar::Market m;
        double asked, snapped;
    } snaps[] = {
        {"Oil to the cent", Oil, 14.5349, 14.53},
        {"T-Bond to a 32nd", TBond, 98.52, 98.53125},
        {"Soybean to a quarter cent", Soybean, 6.0113, 6.0125},
        {"never below a tick", Oil, -3, 0.01},
    };
    for (const auto& c : snaps) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(snappedOrderPrice(c.m, c.asked), c.snapped);
    }
    EXPECT_DOUBLE_EQ(priceTicksAway(TBond, 98.5, 1), 98.53125);
    EXPECT_DOUBLE_EQ(priceTicksAway(Oil, 0.01, -1), 0.01);
}

TEST(OrderTicket, FillsLineTellsFillsThenTheOrdersGone) {
    OrderEvent fill;
    fill.order.id = 3;
    fill.order.side = Buy;
    fill.order.units = 5;
    fill.order.type = Limit;
    fill.price = 14.48;
    OrderEvent expired = fill;
    expired.kind = OrderEventKind::Expired;
    expired.order.id = 4;
    EXPECT_EQ(fillsLine({fill, expired}), "Filled: Buy 5 Oil LMT at 14.48.  Cancelled or expired: 4");
    EXPECT_EQ(fillsLine({}), "");
}
