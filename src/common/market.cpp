#include "common/market.h"

namespace pellucar {

const QStringList& marketNames() {
    static const QStringList names{"Cattle", "Gold", "Oil", "SP500", "Soybean", "TBond"};
    return names;
}

int commodityId(Market m) {
    switch (m) {
    case Market::Cattle: return 1;
    case Market::Gold: return 2;
    case Market::Oil: return 3;
    case Market::SP500: return 4;
    case Market::Soybean: return 5;
    case Market::TBond: return 6;
    }
    return 0;
}

bool marketFromId(int id, Market* out) {
    static constexpr Market byId[] = {Market::Cattle, Market::Gold,    Market::Oil,
                                      Market::SP500,  Market::Soybean, Market::TBond};
    if (id < 1 || id > 6) return false;
    *out = byId[id - 1];
    return true;
}

Market marketFromIdOr(int id, Market fallback) {
    Market m;
    return marketFromId(id, &m) ? m : fallback;
}

QString marketName(Market m) {
    switch (m) {
    case Market::Oil: return QStringLiteral("Oil");
    case Market::Gold: return QStringLiteral("Gold");
    case Market::TBond: return QStringLiteral("TBond");
    case Market::SP500: return QStringLiteral("SP500");
    case Market::Cattle: return QStringLiteral("Cattle");
    case Market::Soybean: return QStringLiteral("Soybean");
    }
    return {};
}

bool marketFromName(const QString& name, Market* out) {
    for (Market m : kTradingOrder) {
        if (marketName(m) == name) {
            *out = m;
            return true;
        }
    }
    return false;
}

} // namespace pellucar
