#pragma once
#include "common/level.h"
#include "market/price_history.h"

#include <QString>
#include <functional>

namespace pellucar {

class PresentationModel;

// How wide a text is in a label's font, in twips (empty: estimated).
using TextMeasure = std::function<int(const QString& key, const QString& text)>;

// The quote column for period p: "*** Market Closed ***" before the first
// period, then each market's price and change ("$20.25  +0.25", "$118 5/32",
// quarter cents for Soybean). A Novice sees Oil alone. Shows only: the
// floors and quotes were set when the period was stored.
void presentQuotes(const PriceHistory& prices, int p, Level level, PresentationModel& model,
                   const TextMeasure& measure);
// The last prices at the end of a game ("$20.25 Last"); before any game the
// column stays hidden.
void presentLastPrices(const PriceHistory& prices, int p, Level level, bool noGameYet, PresentationModel& model);

} // namespace pellucar
