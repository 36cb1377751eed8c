#pragma once
#include <QString>

namespace pellucar {

// The side of an order: a buy adds contracts, a sale takes them away.
enum class Side { Buy, Sell };

// "Buy" or "Sell".
inline QString sideName(Side side) { return side == Side::Buy ? QStringLiteral("Buy") : QStringLiteral("Sell"); }

// Returns false, leaving *out alone, for any other text.
inline bool sideFromName(const QString& name, Side* out) {
    for (Side s : {Side::Buy, Side::Sell}) {
        if (sideName(s) == name) {
            *out = s;
            return true;
        }
    }
    return false;
}

// The side that trades `units` contracts (positive buys, negative sells).
inline Side sideOf(double units) { return units < 0 ? Side::Sell : Side::Buy; }

} // namespace pellucar
