#pragma once
#include "common/level.h"
#include "market/price_history.h"

#include <QString>

#include <array>
#include <functional>

namespace pellucar {

class PresentationModel;

// How wide a text is in a label's font, in twips (empty: estimated).
using TextMeasure = std::function<int(const QString& key, const QString& text)>;

// The texts the quote column last showed, each with the figures it came
// from. The same figures give the same text: every Forward press shows the
// column twice (with the period's prices, then with the account), and in a
// Tick game most markets keep their price from one hour to the next. T-Bond
// is left out, as its text also depends on how wide the label draws it.
class QuoteTexts {
public:
    // The text for these figures, made by `make` only when they differ from
    // the market's last ones.
    template <typename Make> const QString& text(Market m, bool withChange, double now, double before, Make make) {
        Entry& e = entries_[index(m)];
        if (!e.madeFrom(withChange, now, before)) e = Entry{true, withChange, now, before, make()};
        return e.text;
    }

private:
    struct Entry {
        bool filled = false;
        bool withChange = false;
        double now = 0;
        double before = 0;
        QString text;
        // Bit for bit, so no two figures that could read differently match.
        bool madeFrom(bool change, double n, double b) const;
    };
    std::array<Entry, kMarketCount> entries_;
};

// The quote column for period p: "*** Market Closed ***" before the first
// period, then each market's price and change ("$20.25  +0.25", "$118 5/32",
// quarter cents for Soybean). A Novice sees Oil alone. Shows only: the
// floors and quotes were set when the period was stored.
// With `memo`, texts of figures shown before are taken from it.
void presentQuotes(const PriceHistory& prices, int p, Level level, PresentationModel& model, const TextMeasure& measure,
                   QuoteTexts* memo = nullptr);
// The last prices at the end of a game ("$20.25 Last"); before any game the
// column stays hidden.
void presentLastPrices(const PriceHistory& prices, int p, Level level, bool noGameYet, PresentationModel& model);

} // namespace pellucar
