// Every daily price in the built database lies on its market's tick grid: an
// exchange never printed a price between two ticks, so one that does is a
// fault in the data (or in its conversion) and would show in the game as a
// price nobody could have traded at.
#include "db_test_support.h"

#include <cmath>
#include <sstream>

using namespace dbtest;

namespace {

// The minimum price moves of the contracts the data follow, in the database's
// units, written from the exchanges' contract rules and not taken from the
// converter, so that a wrong grid there cannot check itself.
struct Era {
    int commodityId;
    const char* market;
    const char* from; // first date of the era (ISO)
    double tick;
};
const Era kEras[] = {
    {1, "Cattle", "1983-01-01", 0.025},   // CME live cattle: 0.025 cents a pound ($10)
    {2, "Gold", "1983-01-01", 0.10},      // COMEX gold: 10 cents an ounce ($10)
    {3, "Oil", "1983-01-01", 0.01},       // NYMEX crude: 1 cent a barrel ($10)
    {4, "SP500", "1983-01-01", 0.05},     // CME S&P 500: 0.05 point ($25)
    {4, "SP500", "1997-10-20", 0.25},     // from here the series follows the E-mini: 0.25 point
    {5, "Soybean", "1983-01-01", 0.25},   // CBOT soybeans: a quarter cent a bushel ($12.50)
    {6, "TBond", "1983-01-01", 1.0 / 32}, // CBOT T-bonds: 1/32 point ($31.25)
};

const Era& eraOf(int commodityId, const std::string& date) {
    const Era* found = nullptr;
    for (const Era& e : kEras)
        if (e.commodityId == commodityId && date >= e.from) found = &e;
    return *found;
}

} // namespace

TEST(PriceGrid, EveryDailyPriceOfEveryMarketIsAWholeNumberOfTicks) {
    Database db{PELLUCAR_DB_PATH};
    ASSERT_TRUE(db.ok()) << PELLUCAR_DB_PATH;
    const char* const fields[] = {"open", "high", "low", "close"};
    const auto rows = db.query("SELECT CommodityID, Date, Open, High, Low, Close, Source FROM DailyData "
                               "ORDER BY CommodityID, Date");
    ASSERT_GT(rows.size(), 20000u);
    int off = 0;
    std::ostringstream first;
    for (const Row& r : rows) {
        const Era& era = eraOf(std::stoi(r[0]), r[1]);
        for (int f = 0; f < 4; ++f) {
            const double ticks = num(r[2 + f]) / era.tick;
            if (std::abs(ticks - std::round(ticks)) < 1e-6) continue;
            if (++off <= 20)
                first << "\n  " << era.market << " " << r[1] << " " << fields[f] << " " << r[2 + f] << " (" << r[6]
                      << "), not a multiple of " << era.tick;
        }
    }
    EXPECT_EQ(off, 0) << "prices off the grid:" << first.str();
}
