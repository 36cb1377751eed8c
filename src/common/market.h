#pragma once
#include <QString>
#include <QStringList>
#include <array>

namespace pellucar {

// The six markets in trading order: positions, valuation and the rows of the
// quote and position columns follow this order.
enum class Market { Oil = 0, Gold, TBond, SP500, Cattle, Soybean };

inline constexpr std::array<Market, 6> kTradingOrder{Market::Oil,   Market::Gold,   Market::TBond,
                                                     Market::SP500, Market::Cattle, Market::Soybean};
inline constexpr int kMarketCount = 6;

// The alphabetical list order gives each market its database commodity id
// (1-based): 1 Cattle, 2 Gold, 3 Oil, 4 SP500, 5 Soybean, 6 TBond.
const QStringList& marketNames();

int commodityId(Market m);
// Returns false for ids outside 1..6.
bool marketFromId(int id, Market* out);
Market marketFromIdOr(int id, Market fallback);
// "Oil", "Gold", "TBond", "SP500", "Cattle", "Soybean".
QString marketName(Market m);
bool marketFromName(const QString& name, Market* out);
inline int index(Market m) { return static_cast<int>(m); }

} // namespace pellucar
