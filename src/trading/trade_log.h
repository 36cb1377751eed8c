#pragma once
#include "common/level.h"
#include "common/market.h"
#include "trading/side.h"
#include "trading/working_orders.h"

#include <QList>
#include <QString>

namespace pellucar {

// One executed trade.
struct TradeRecord {
    int number = 0; // 1 for the game's first trade
    int day = 0;    // the period it was made in
    Market market = Market::Oil;
    Side side = Side::Buy;
    bool marginCall = false; // a mandatory trade of a margin call
    float amount = 0;        // signed contracts
    float price = 0;         // the fill price
    // A Trainer fill: the working order it filled (0 for a Classic trade or
    // a margin call's), the order's type and the price it asked for (0 for a
    // market order).
    int orderId = 0;
    OrderType orderType = OrderType::Market;
    double asked = 0;
    // "Buy" or "Sell", with " - Margin Call" for a mandatory trade.
    QString transaction() const;
    bool operator==(const TradeRecord&) const = default;
};

// What the game tells the player when the trade record has no room left.
inline constexpr char kTradeLogFullTitle[] = "Trader Notification";
inline constexpr char kTradeLogFullMessage[] =
    "The Trade Record is Full at 10,000 Trades:  No More Orders Can be Taken this Game";

// Commission figures. The statement charges every trade; an Expert's running
// commission total (kept across games) grows with every executed trade.
inline constexpr double kStatementCommissionPerTrade = 25;
inline constexpr float kExpertCommissionPerTrade = 20;
// The statement's commission for `tradeCount` trades.
double statementCommission(int tradeCount);
// The running commission total after one more trade at `level`.
float commissionAfterTrade(float total, Level level);

// "Buy", "Sell", "Buy - Margin Call", "Sell - Margin Call".
QString transactionText(Side side, bool marginCall);
// The side and margin-call mark of one of those texts; false, leaving both
// alone, for any other text.
bool transactionFromText(const QString& text, Side* side, bool* marginCall);

// The game's record of executed trades, numbered from 1. Its size is the
// game's trade count. It takes the player's orders while it holds fewer
// than kCapacity trades (check full() before offering an order). A margin
// call's trades are always recorded: the account must be cured whatever the
// record holds. Past kCapacity only those trades come, each closing at least
// one contract of positions no order can grow any more, so the record never
// holds more than kMaxRecords.
class TradeLog {
public:
    static constexpr int kCapacity = 10000;
    // kCapacity and the largest positions an Expert may hold (200 Oil,
    // 400 Gold, 100 TBond, 25 SP500, 500 Cattle, 250 Soybean).
    static constexpr int kMaxRecords = kCapacity + 1475;

    // Appends the next trade; false, writing nothing, for the player's trade
    // when the record is full.
    bool record(int day, Market market, Side side, bool marginCall, float amount, float price);
    // A working order's fill, recorded like the player's trade.
    bool recordFill(int day, const OrderFill& fill, float amount);
    int count() const { return static_cast<int>(records_.size()); }
    bool full() const { return count() >= kCapacity; }
    const QList<TradeRecord>& records() const { return records_; }
    void clear() { records_.clear(); }

    bool operator==(const TradeLog&) const = default;

private:
    QList<TradeRecord> records_;
};

} // namespace pellucar
