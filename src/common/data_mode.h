#pragma once
#include <QString>

namespace pellucar {

// The data a game is played on: one period per trading day, or six hourly
// periods a day. None until the first game is set up.
enum class DataMode { None, Daily, Tick };

// "Daily", "Tick", "" for None.
inline QString dataModeName(DataMode m) {
    switch (m) {
    case DataMode::Daily: return QStringLiteral("Daily");
    case DataMode::Tick: return QStringLiteral("Tick");
    case DataMode::None: break;
    }
    return {};
}

// None for any other text.
inline DataMode dataModeFromName(const QString& name) {
    for (DataMode m : {DataMode::Daily, DataMode::Tick})
        if (dataModeName(m) == name) return m;
    return DataMode::None;
}

// The period arithmetic of tick games: period n (from 1) is hour
// tickOfDay(n) (1..6) of trading day tickDayOf(n) (from 0).
inline int tickDayOf(int n) { return n < 1 ? 0 : (n - 1) / 6; }
inline int tickOfDay(int n) {
    const int h = n % 6;
    return h == 0 ? 6 : h;
}

} // namespace pellucar
