#pragma once
#include <QByteArray>
#include <QString>

#include <sqlite3.h>

namespace pellucar {

// A prepared statement that finalizes itself. Values only ever reach SQL
// through bind(); a statement that failed to prepare reports !ok() and steps
// to SQLITE_MISUSE, so callers check ok() once and read the engine's text.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql) {
        ok_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) == SQLITE_OK;
    }
    SqliteStatement(sqlite3* db, const QByteArray& sql) {
        ok_ = sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &stmt_, nullptr) == SQLITE_OK;
    }
    // A statement its owner keeps prepared (a null one when it failed to
    // prepare): used as any other, then reset for the next use instead of
    // finalized.
    struct Kept {
        sqlite3_stmt* stmt;
    };
    explicit SqliteStatement(Kept kept) : stmt_(kept.stmt), ok_(kept.stmt != nullptr), owned_(false) {}
    ~SqliteStatement() {
        if (owned_) sqlite3_finalize(stmt_);
        else if (stmt_) reset();
    }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool ok() const { return ok_; }
    void bind(int i, int v) { sqlite3_bind_int(stmt_, i, v); }
    void bind(int i, qint64 v) { sqlite3_bind_int64(stmt_, i, v); }
    void bind(int i, double v) { sqlite3_bind_double(stmt_, i, v); }
    void bind(int i, const QByteArray& utf8) {
        sqlite3_bind_text(stmt_, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, const QString& s) { bind(i, s.toUtf8()); }
    void bind(int i, const char* utf8, int size) { sqlite3_bind_text(stmt_, i, utf8, size, SQLITE_TRANSIENT); }
    int step() { return sqlite3_step(stmt_); }
    // Ready to run again with new values.
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }

    const char* chars(int col) const { return reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col)); }
    int bytes(int col) const { return sqlite3_column_bytes(stmt_, col); }
    QString text(int col) const {
        const char* p = chars(col);
        return p ? QString::fromUtf8(p, bytes(col)) : QString();
    }
    bool isNumber(int col) const {
        const int t = sqlite3_column_type(stmt_, col);
        return t == SQLITE_FLOAT || t == SQLITE_INTEGER;
    }
    double real(int col) const { return sqlite3_column_double(stmt_, col); }
    qint64 integer(int col) const { return sqlite3_column_int64(stmt_, col); }

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool ok_ = false;
    bool owned_ = true;
};

} // namespace pellucar
