#pragma once
#include "common/market.h"
#include "trading/side.h"

#include <QString>
#include <array>
#include <optional>

namespace pellucar {

class Account;

// Why the units typed for an order were not taken. Each has its own text
// (refusalMessage).
enum class Refusal {
    None,
    InventoryFullPurchases, // 100 long lots: no new lot may open
    InventoryFullSales,     // 100 short lots
    NotANumber,
    FractionalAmount,
    NegativeAmount,
    NoMorePurchases,        // long at the position limit
    PositionLimitBuy,       // the buy would pass the position limit; names the largest allowed
    NoMoreSales,            // short at the position limit
    NoMoreSalesBeyondLimit, // short past the position limit (the checks before it always stop first)
    PositionLimitSale,      // the sale would pass the position limit; names the largest allowed
    MarginLimitPurchases,   // the position already uses all the margin the account carries
    MarginLimitSales,
    EquityBuy, // more than the margin carries; names the largest allowed
    EquitySale,
    TransactionLimit, // more than one order may trade (the checks before it always stop first)
};

// Where the main window goes after a check.
enum class NextStep {
    VerifyOrder,  // accepted: the order is read back for confirmation
    AskAgain,     // refused: the units box is emptied and asks again
    Trade,        // cancelled, or refused for good: back to choosing market and side (refresh the maxima)
    ChangePeriod, // the lot book is full: back to the resting state
};

// The outcome of checking the units typed for an order.
struct UnitsCheck {
    NextStep next = NextStep::Trade;
    Refusal refusal = Refusal::None; // None with NextStep::Trade: cancelled without a word
    float units = 0;                 // accepted: signed, positive buys, negative sells
    QString title;                   // refused: the notification to show
    QString message;
    bool accepted() const { return next == NextStep::VerifyOrder; }
    bool refused() const { return refusal != Refusal::None; }
};

// The most contracts an order may have (A) and the margin maximum (M): the
// largest position, on the order's side, that the margin excess carries.
struct AllowedMaximum {
    int allowed = 0;
    int marginMaximum = 0;
};

// The text of a refusal in market `m`; `allowed` is A where the text names it.
QString refusalMessage(Refusal refusal, Market m, int allowed = 0);

// Order size limits and the per-market maxima shown beside the order entry.
//
// check() judges the units typed for an order against the position limit,
// the transaction limit and the margin the account carries. The buy and sale
// checks run in a fixed order in which a position-reducing order always
// passes. The checks read the account's value as of its last revalue().
//
// The maxima (free margin and margin maximum per market) are kept here and
// refreshed after every account refresh and order step. Once an order is
// accepted its market keeps the figures it had until releaseHeldMarket()
// (the order was executed or dropped) or the next check().
class OrderLimits {
public:
    // Entries beyond this size are taken as this size.
    static constexpr double kLargestEntry = 410000;

    static AllowedMaximum allowedMaximum(Market m, Side side, const Account& account);
    // The refusal of an order that would open a lot in a book of 100 lots.
    static std::optional<UnitsCheck> lotBookGuard(Market m, Side side, const Account& account);
    // What the maximum display shows for an order being entered: A, or 0
    // when the account value is not positive.
    static int selectedMaximum(Market m, Side side, const Account& account);

    // The units box's entry for an order of `side` in `m`: the lot-book
    // guard, the entry itself, then the limits. Also updates m's margin
    // maximum (M) and, on acceptance, holds m's figures.
    UnitsCheck check(Market m, Side side, const QString& entry, const Account& account);

    // Every figure 0, nothing held (a new game).
    void reset();
    // Free margins and margin maxima from the account; before the first
    // period (`periodIndex` 0) the maxima come from the starting capital. A
    // Novice gets Oil's maximum only. Nothing of a held market changes.
    void refresh(const Account& account, int periodIndex);
    // The position maximum of `m`: whole contracts the account value carries,
    // capped at the market's largest maximum. Sets m's free margin to the
    // account value (0 when it is not positive).
    int positionMaximum(Market m, const Account& account);

    float freeMargin(Market m) const { return freeMargin_[slot(m)]; }
    int marginMaximum(Market m) const { return marginMaximum_[slot(m)]; }
    std::optional<Market> heldMarket() const { return held_; }
    void releaseHeldMarket() { held_.reset(); }

    bool operator==(const OrderLimits&) const = default;

private:
    static size_t slot(Market m) { return static_cast<size_t>(index(m)); }

    std::array<float, kMarketCount> freeMargin_{};
    std::array<int, kMarketCount> marginMaximum_{};
    std::optional<Market> held_;
};

} // namespace pellucar
