#pragma once
#include <QString>

namespace pellucar {

// The player's level: a Novice trades Oil alone on a small account, an
// Expert all six markets.
enum class Level { Novice, Expert };

// "Novice" or "Expert".
inline QString levelName(Level level) {
    return level == Level::Novice ? QStringLiteral("Novice") : QStringLiteral("Expert");
}

// Returns false, leaving *out alone, for any other text.
inline bool levelFromName(const QString& name, Level* out) {
    for (Level l : {Level::Novice, Level::Expert}) {
        if (levelName(l) == name) {
            *out = l;
            return true;
        }
    }
    return false;
}

} // namespace pellucar
