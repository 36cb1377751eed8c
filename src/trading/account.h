#pragma once
#include "common/level.h"
#include "common/market.h"
#include "trading/lot_book.h"
#include "trading/side.h"

#include <QString>
#include <array>
#include <optional>

namespace pellucar {

// One price per market, indexed by index(Market) (trading order).
using MarketPrices = std::array<double, kMarketCount>;

// A trade the account needs to cure a margin call; the caller executes it
// like any order, marked as a margin-call trade, without asking the player.
struct MandatoryTrade {
    Market market = Market::Oil;
    float units = 0;  // signed: positive buys a short back, negative sells a long
    double price = 0; // the quote it fills at
    QString message;  // shown under kMarginCallLiquidationTitle
    Side side() const { return sideOf(units); }
};

// The player's account: positions and lot books of the six markets, the
// profit and loss they produce, and the margin they tie up.
//
// Figures follow the game's number types: the starting capital, positions
// and account value are 32-bit, profit and loss and margin 64-bit. The
// account value changes only in revalue(); after a fill call revalue()
// before asking for margins, maxima or mandatory trades.
class Account {
public:
    // 10,000 dollars for a Novice, 100,000 for an Expert.
    static float startingCapitalFor(Level level);
    // The market that liquidation step 1..6 visits: SP500, TBond, Oil,
    // Soybean, Gold, Cattle (falling margin, but for the tail).
    static Market liquidationMarket(int step);
    static constexpr int kLiquidationSteps = 6;

    explicit Account(Level level = Level::Expert) { reset(level); }

    // A new game: no positions, no lots, nothing realized.
    void reset(Level level) { reset(level, startingCapitalFor(level)); }
    void reset(Level level, float startingCapital);

    Level level() const { return level_; }
    float startingCapital() const { return startingCapital_; }
    float accountValue() const { return accountValue_; }
    double realizedPL() const { return realizedPL_; }
    double unrealizedPL() const { return unrealizedPL_; }
    // The score: realized and unrealized profit and loss, kept in single
    // precision as the end of a game shows it.
    float totalPL() const { return static_cast<float>(realizedPL_ + unrealizedPL_); }
    // The market's unrealized value as of the last revalue(); a Novice's
    // markets other than Oil are never valued and stay 0.
    double unrealizedPL(Market m) const { return marketUnrealized_[slot(m)]; }
    float position(Market m) const { return positions_[slot(m)]; }
    const LotBook& lots(Market m) const { return books_[slot(m)]; }

    // A fill of `units` (positive buy, negative sale) at `fillPrice`: the
    // position moves, the lot is booked and what it matched is realized.
    // Refused, changing nothing, only when the book has no room for a new lot.
    Booking applyFill(Market m, float units, double fillPrice);
    // A commission paid (the Trainer rules charge one at each fill): the
    // account value carries it from the next revalue() on; the profit and
    // loss of the positions does not.
    void chargeCommission(double dollars) { commissions_ += dollars; }
    double commissionsPaid() const { return commissions_; }
    // Marks the open lots to `prices`: a Novice values Oil alone, an Expert
    // the six markets in trading order; the account value follows.
    void revalue(const MarketPrices& prices);

    // Sum of |position| x margin per contract over all six markets, whatever
    // the level.
    double marginRequirement() const;
    // Further whole contracts of `m` that the margin excess carries (negative
    // in a margin call); 0 when the account value is not positive.
    int maxByMargin(Market m) const;
    // The margin excess rounded to cents; negative is a margin call. An
    // account worth nothing or less has no requirement to meet.
    double marginCallAmount() const;
    bool marginCalled() const { return marginCallAmount() < 0; }
    // Worth nothing or less: the game is over.
    bool blownOut() const { return accountValue_ <= 0; }

    // Positions are whole contracts; rounds away anything else.
    void roundPositions();

    // The trade of liquidation step 1..6 at `quotes`, or nothing when the
    // step's market is flat, the margin is met or the step is out of range.
    std::optional<MandatoryTrade> mandatoryTrade(int step, const MarketPrices& quotes) const;

    bool operator==(const Account&) const = default;

private:
    static size_t slot(Market m) { return static_cast<size_t>(index(m)); }

    Level level_ = Level::Expert;
    float startingCapital_ = 0;
    float accountValue_ = 0;
    double realizedPL_ = 0;
    double unrealizedPL_ = 0;
    double commissions_ = 0;
    std::array<double, kMarketCount> marketUnrealized_{};
    std::array<float, kMarketCount> positions_{};
    std::array<LotBook, kMarketCount> books_;
};

} // namespace pellucar
