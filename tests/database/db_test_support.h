#pragma once
// Shared by the market-database tests: queries on a read-only database, the game's tick prices, a file's bytes.
#include "support/game_harness.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <string>
#include <vector>

namespace dbtest {

using Row = std::vector<std::string>; // columns as text; numbers via num()

inline double num(const std::string& s) { return std::stod(s); }

class Database {
public:
    explicit Database(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(db_);
            db_ = nullptr;
        }
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    bool ok() const { return db_ != nullptr; }

    // Parameters are bound as text; SQLite compares them with integer columns as numbers.
    std::vector<Row> query(const char* sql, const std::vector<std::string>& params = {}) const {
        std::vector<Row> rows;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
            return rows;
        }
        for (size_t i = 0; i < params.size(); ++i)
            sqlite3_bind_text(s, int(i) + 1, params[i].c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(s) == SQLITE_ROW) {
            Row& row = rows.emplace_back();
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                // Reals as 17 digits, so that a text round trip loses nothing.
                const bool isReal = sqlite3_column_type(s, c) == SQLITE_FLOAT;
                char real[40];
                if (isReal) std::snprintf(real, sizeof real, "%.17g", sqlite3_column_double(s, c));
                const auto* text = isReal ? real : reinterpret_cast<const char*>(sqlite3_column_text(s, c));
                row.emplace_back(text ? text : "");
            }
        }
        sqlite3_finalize(s);
        return rows;
    }

    long long count(const char* sql) const {
        const auto rows = query(sql);
        return rows.empty() || rows[0][0].empty() ? -1 : std::stoll(rows[0][0]);
    }

private:
    sqlite3* db_ = nullptr;
};

// The game's reading of TickData.realprice, written from its rules rather than
// taken from the builder, so that a wrong encoding cannot check itself. The
// result is in the daily table's units (Soybean in cents).
inline double gameTickPrice(int commodityId, double realprice) {
    const double whole = std::floor(realprice);
    const double fraction = realprice - whole;
    switch (commodityId) {
    case 5: return (whole + fraction / 0.8) * 100.0;
    case 6: return whole + fraction * 100.0 / 32.0;
    default: return std::round(realprice * 10.0 * 100.0) / 100.0;
    }
}

using pellucar::test::fileBytes;

} // namespace dbtest
