#pragma once
#include <QString>

namespace pellucar {

// The player's level: a Novice trades Oil alone with a small account, an
// Expert all six markets.
enum class Level { Novice, Expert };

inline QString levelName(Level l) { return l == Level::Novice ? QStringLiteral("Novice") : QStringLiteral("Expert"); }
// Anything but "Novice" is the Expert level, as the level menu offers no third.
inline Level levelFromName(const QString& name) {
    return name == QLatin1String("Novice") ? Level::Novice : Level::Expert;
}

} // namespace pellucar
