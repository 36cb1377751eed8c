#pragma once
#include "charts/indicators.h"
#include "common/market.h"

#include <QList>
#include <QString>

#include <array>

// The lines a player draws over the price chart, kept per market: level
// lines across the chart at one price, and trend lines through two points.
// A point is a period and a price; it is taken only on a period already
// played, and it snaps to the nearest open, high, low or close of that period
// when the player puts it close to one.

namespace pellucar::charts {

struct DrawingPoint {
    int period = 0; // a played row of the game, 1 up to the current period
    double price = 0;
    bool operator==(const DrawingPoint&) const = default;
};

struct Drawing {
    // A level line runs across the chart at `from.price` (drawn on the period
    // `from.period`); a trend line runs from `from` to `to`, earlier first.
    enum class Kind { Level, Trend };
    Kind kind = Kind::Level;
    DrawingPoint from, to;
    bool operator==(const Drawing&) const = default;
};

// What the player asks to draw, before it is snapped and checked.
enum class DrawMode { None, Level, Trend };

// A point snaps when it lies within this share of the price span the chart
// shows from the nearest open, high, low or close of its period: a few
// pixels on any chart, whatever the market's prices.
inline constexpr double kSnapShare = 0.04;
// The most lines kept on one market: more would hide the prices.
inline constexpr int kMostDrawings = 50;
// No market's price comes near this; anything above it is no price.
inline constexpr double kHighestDrawnPrice = 1e7;

// `p` snapped to the nearest price of its period in `candles` (row r at
// index r - 1) within kSnapShare of `span`; as it is when the period has no
// price, lies after `currentPeriod`, or no price is near enough.
DrawingPoint snapPoint(const PriceSeries& candles, DrawingPoint p, int currentPeriod, double span);

// Why `d` cannot stand on a game at `currentPeriod` (a point off the played
// periods, a price that is no number or out of range, a trend line whose
// points share a period or come in the wrong order), or empty.
QString drawingProblem(const Drawing& d, int currentPeriod);

// The drawings of the six markets, by commodity id 1..6. Every change is
// checked first: one that is refused leaves the drawings as they were.
class Drawings {
public:
    const QList<Drawing>& of(int commodityId) const;
    int count(int commodityId) const { return static_cast<int>(of(commodityId).size()); }
    bool empty() const;

    // Adds `d` (a trend line's points put in time order) on a market; empty
    // when added, else why not.
    QString add(int commodityId, Drawing d, int currentPeriod);
    // Removes drawing `index` (0 the oldest; -1 the last) of a market.
    bool remove(int commodityId, int index);
    // Removes all of a market's drawings.
    bool clear(int commodityId);
    void clearAll() { lists_ = {}; }
    // A rewind to `period`: a drawing with a point after it goes.
    void cutAfter(int period);
    // A market's lines as a saved game holds them, unchecked: problem()
    // says what is wrong with them.
    void restore(int commodityId, const QList<Drawing>& lines);
    // Why these drawings cannot stand on a game at `currentPeriod`, or empty.
    QString problem(int currentPeriod) const;

    bool operator==(const Drawings&) const = default;

private:
    std::array<QList<Drawing>, kMarketCount> lists_;
};

} // namespace pellucar::charts
