#include "common/sqlite_guard.h"
#include "common/sqlite_statement.h"

#include <sqlite3.h>

#include <QList>

#include <algorithm>
#include <tuple>

namespace pellucar {

namespace {

// One entry of sqlite_schema: its type, name, table and the text that made
// it (none for the indexes the engine makes for a key).
struct SchemaObject {
    QString type, name, table;
    QByteArray sql;
    bool hasSql = false;

    bool operator==(const SchemaObject& o) const {
        return std::tie(type, name, table, sql, hasSql) == std::tie(o.type, o.name, o.table, o.sql, o.hasSql);
    }
};

// The objects of a schema, or nothing with the engine's reason. Reading
// sqlite_schema runs nothing the file holds; a damaged schema fails here.
bool schemaOf(sqlite3* db, QList<SchemaObject>* out, QString* error) {
    SqliteStatement st(db, "SELECT type, name, tbl_name, sql FROM sqlite_schema");
    int rc = SQLITE_MISUSE;
    if (st.ok()) {
        while ((rc = st.step()) == SQLITE_ROW) {
            SchemaObject o{st.text(0), st.text(1), st.text(2), QByteArray(st.chars(3), st.bytes(3)),
                           st.chars(3) != nullptr};
            out->append(o);
        }
    }
    if (rc == SQLITE_DONE) return true;
    *error = QString::fromUtf8(sqlite3_errmsg(db));
    return false;
}

// How an object is named to the player: its kind and a short name.
QString describe(const SchemaObject& o) { return QStringLiteral("%1 \"%2\"").arg(o.type.left(10), o.name.left(40)); }
QString describeOne(const SchemaObject& o) {
    return (o.type == QLatin1String("index") ? QStringLiteral("an ") : QStringLiteral("a ")) + describe(o);
}

} // namespace

QString guardSqliteConnection(sqlite3* db) {
    const struct {
        int option, value;
    } settings[] = {
        {SQLITE_DBCONFIG_DEFENSIVE, 1},
        {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
        {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
        {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
    };
    for (const auto& s : settings) {
        int now = -1;
        if (sqlite3_db_config(db, s.option, s.value, &now) != SQLITE_OK || now != s.value)
            return QStringLiteral("the database engine refused a safety setting");
    }
    return {};
}

QString sqliteLayoutProblem(sqlite3* db, std::span<const char* const> layout, bool complete) {
    QList<SchemaObject> file;
    QString error;
    if (!schemaOf(db, &file, &error)) return error;
    // The game's layout as this engine writes it, made on an empty database
    // in memory: the texts match the file's only when nothing was added.
    sqlite3* model = nullptr;
    QList<SchemaObject> game;
    bool made = sqlite3_open_v2(":memory:", &model, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr) == SQLITE_OK;
    for (const char* sql : layout) made = made && sqlite3_exec(model, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    made = made && schemaOf(model, &game, &error);
    if (!made && error.isEmpty()) error = QString::fromUtf8(sqlite3_errmsg(model));
    sqlite3_close_v2(model);
    if (!made) return error;
    for (const SchemaObject& o : file) {
        if (std::find(game.cbegin(), game.cend(), o) != game.cend()) continue;
        const bool sameName = std::any_of(game.cbegin(), game.cend(), [&](const SchemaObject& g) {
            return g.name.compare(o.name, Qt::CaseInsensitive) == 0 && g.type == o.type;
        });
        return sameName ? QStringLiteral("the file's %1 is not as the game makes it").arg(describe(o))
                        : QStringLiteral("the file holds %1 that the game did not make").arg(describeOne(o));
    }
    if (complete)
        for (const SchemaObject& g : game)
            if (std::find(file.cbegin(), file.cend(), g) == file.cend())
                return QStringLiteral("the file lacks the %1").arg(describe(g));
    return {};
}

} // namespace pellucar
