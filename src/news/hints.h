#pragma once
// The helpful hints: after each Forward press the game may tell the player to
// trade at all, or not to trade so much that commissions eat the profits.

#include <QList>
#include <QString>

#include <optional>

namespace pellucar {

enum class HintId {
    NoTradeYet,         // H1: no trade by period 15
    TooFewTrades,       // H2: more than 45 periods per trade
    TooManyTradesEarly, // H3: ten trades by period 20
    TooManyTrades,      // H4: fewer than 1.5 periods per trade
};

// Short names "H1" to "H4", for messages and test output.
QString toString(HintId id);

inline constexpr const char* kHintTitle = "* Helpful Hint *";

// One hint to show in the player notification window.
struct Hint {
    HintId id = HintId::NoTradeYet;
    QString title;  // kHintTitle
    QString text;   // exact, blanks included
    int number = 1; // the notification window's number argument
};

// Decides the hints after each period advance and holds the next ones back
// for a stretch of periods. One advisor serves the whole program run: a new
// game does not reset the hold-back, so a hint late in one game keeps the
// early hints of the next one back until its period counter passes it.
class HintAdvisor {
public:
    // The hints for period `periodIndex` with `tradeCount` trades made so far
    // in the game, in the order to show them (several can come at once).
    QList<Hint> give(int periodIndex, int tradeCount);

    // The period after which hints may be given again; 0 at program start.
    int nextHintPeriod() const { return nextHintPeriod_; }
    // An advisor holding hints back to `nextHintPeriod`, as one kept from an
    // earlier run; none when give() could not have set that period in games
    // of at most `lastPeriod` periods.
    static std::optional<HintAdvisor> heldBackTo(int nextHintPeriod, int lastPeriod);

    bool operator==(const HintAdvisor&) const = default;

private:
    int nextHintPeriod_ = 0;
};

} // namespace pellucar
