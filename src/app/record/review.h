#pragma once
#include "app/state/time_period_form.h"
#include "common/data_mode.h"
#include "common/level.h"
#include "common/market.h"
#include "common/rule_set.h"
#include "trading/account.h"
#include "trading/side.h"
#include "trading/trade_log.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

namespace pellucar {

struct GameState;

// One period of a finished game as its review reads it: when it was, what
// the account was worth at its end and the prices it was valued at.
struct ReviewPeriod {
    QDate date;
    int hour = 0; // 1..6 in a Tick game, 0 in a daily one
    double accountValue = 0;
    MarketPrices prices{}; // by index(Market)
    bool operator==(const ReviewPeriod&) const = default;
};

// What the review of one game is computed from; the record of past games
// keeps it with the game.
struct ReviewRecord {
    Level level = Level::Expert;
    // Which game it was, for a report to name it.
    RuleSet rules = RuleSet::Classic;
    DataMode dataMode = DataMode::Daily;
    GameLength length = GameLength::Year;
    QString scenario; // empty for a game set up in the setup window
    double startingCapital = 0;
    // Commissions paid (Trainer rules); the account values below are the
    // positions' own, before them.
    double commissions = 0;
    std::vector<ReviewPeriod> periods; // period 1 first
    QList<TradeRecord> trades;
    QMap<int, QString> notes; // the journal, by trade number
    bool operator==(const ReviewRecord&) const = default;
};

// The game on the desk as its review will read it: the trade record
// replayed through an account of its own, valued at every period's prices,
// so the curve ends at the value the player saw (before commissions). A
// fill keeps its order's type and asked price, not the order's number: the
// record of past games keeps what the review shows. `scenario` names the
// scenario the game started from, if any.
ReviewRecord reviewRecordOf(const GameState& s, const QString& scenario = {});

// A whole check of a record read back from a file: periods in range and
// finite, trades numbered from 1 in period order, of the level's markets,
// with whole contracts and positive prices; replayed, the trades keep
// within the position limits and give every period's account value. An
// empty text when it holds.
QString reviewRecordProblem(const ReviewRecord& r);
// Whether two account figures (floats the game worked out, stored as
// doubles) are the same figure.
bool sameFigure(double a, double b);

// Contracts bought (or sold short) in one fill and closed in another,
// matched first in, first out as the account matches them.
struct RoundTrip {
    Market market = Market::Oil;
    Side side = Side::Buy;             // Buy: a long position, Sell: a short one
    int entryTrade = 0, exitTrade = 0; // numbers in the trade record
    int entryPeriod = 0, exitPeriod = 0;
    double contracts = 0; // positive
    double entryPrice = 0, exitPrice = 0;
    double pl = 0; // dollars, rounded as the account rounds them
    // The orders that opened and closed it, and the prices they asked for
    // (a market order's is its fill price).
    OrderType entryOrder = OrderType::Market, exitOrder = OrderType::Market;
    double entryAsked = 0, exitAsked = 0;
    int periodsHeld() const { return exitPeriod - entryPeriod; }
};

struct MarketReview {
    Market market = Market::Oil;
    double realized = 0;
    int roundTrips = 0;
    // The player's position left open at the end (signed contracts,
    // positive long), its average price and its unrealized profit or loss
    // at the last period's price, as the account values it.
    double openContracts = 0;
    double openAverage = 0;
    double unrealized = 0;
    // A benchmark, not the player's: one contract bought at the first
    // period and held to the last.
    double buyAndHold = 0;
};

struct ReviewFigures {
    std::vector<double> equity;   // account value at the end of each period
    std::vector<double> drawdown; // below the highest value so far, >= 0
    double maxDrawdown = 0;
    double maxDrawdownShare = 0; // of the peak it fell from, 0..1
    std::vector<RoundTrip> trips;
    int wins = 0, losses = 0; // trips that made, and lost, money
    double winRate = 0;       // wins over all trips, 0 without trips
    // Gross profit over gross loss; none when nothing was lost.
    std::optional<double> profitFactor;
    double averageWin = 0, averageLoss = 0; // losses negative
    double largestWin = 0, largestLoss = 0;
    std::vector<MarketReview> markets; // traded markets, trading order
    double unrealized = 0;             // of every position open at the end
    int periodsInMarket = 0;           // periods ending with a position open
    double timeInMarket = 0;           // their share of the periods, 0..1
};

ReviewFigures reviewFigures(const ReviewRecord& r);

// The statistics as the review window and the driver show them, a caption
// and a value per line, then a line per traded market.
struct ReviewLine {
    QString caption;
    QString value;
};
std::vector<ReviewLine> reviewStatistics(const ReviewRecord& r, const ReviewFigures& f);
// "Long" or "Short".
QString tripDirection(const RoundTrip& t);
// "Stop 20.5": how one end of a round trip was ordered.
QString tripOrderText(OrderType type, double asked);
// A price as the record shows it, without binary noise.
QString reviewPriceText(double price);
// The price a fill's order asked for; a market order's is its fill price.
QString reviewAskedText(const TradeRecord& t);
// The most one fill's commission takes of each contract: half the highest
// round-turn rate Options accepts.
inline constexpr double kMostCommissionPerFill = 500;

// The trade record as comma-separated text with a header line: every fill
// with its price in the market's notation, the dollars it realized and its
// note.
QString tradeRecordCsv(const ReviewRecord& r);
// The round trips as comma-separated text with a header line.
QString roundTripsCsv(const ReviewRecord& r, const ReviewFigures& f);
// The round trips' file beside the fills' file `path`: "game.csv" gives
// "game-round-trips.csv".
QString roundTripsPathFor(const QString& path);
// A price in the market's own notation (T-Bond in 32nds, Soybean in cents
// and quarter cents).
QString marketPriceText(Market m, double price);
// The score: the last account value less the starting capital.
double reviewScore(const ReviewRecord& r);
// The game's first and last days played.
QDate reviewFirstDay(const ReviewRecord& r);
QDate reviewLastDay(const ReviewRecord& r);
// "pellucar-1987-10-19-autumn-1987": the name an export of the game
// starts with, from its first day and its scenario.
QString reviewFileStem(const ReviewRecord& r);
// The lines that say which game it was: level, rules, data and length,
// scenario, dates, score.
std::vector<ReviewLine> reviewIdentity(const ReviewRecord& r);
// "1987-10-19" or "1987-10-19 10:00".
QString reviewPeriodText(const ReviewPeriod& p);

} // namespace pellucar
