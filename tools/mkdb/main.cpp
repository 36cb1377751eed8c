// pellucar-mkdb [--data DIR] [--ticks FILE] OUTPUT.mdb
// Builds the market database from the project's data folder.
// pellucar-mkdb [--data DIR] --synthetic-trades N FROM TO FILE
// Writes N made-up trades between two dates, for measuring large imports.
#include "mkdb.h"
#include "synthetic_trades.h"

#include <QDate>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

#ifndef PELLUCAR_DEFAULT_DATA_DIR
#define PELLUCAR_DEFAULT_DATA_DIR "data"
#endif

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: pellucar-mkdb [--data DIR] [--ticks FILE] OUTPUT.mdb\n"
                 "       pellucar-mkdb [--data DIR] --synthetic-trades N FROM TO FILE\n"
                 "  --data DIR    the project's data folder (default %s)\n"
                 "  --ticks FILE  real intraday trades, CSV market,datetime,price (market's own units,\n"
                 "                Soybean in cents); they replace the derived ticks of the days they cover\n"
                 "  --synthetic-trades N FROM TO FILE\n"
                 "                writes N made-up trades on the trading days from FROM to before TO\n"
                 "                (YYYY-MM-DD) into FILE, to measure the import of a large record\n",
                 PELLUCAR_DEFAULT_DATA_DIR);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    pellucar::mkdb::Options options;
    options.dataDir = QStringLiteral(PELLUCAR_DEFAULT_DATA_DIR);
    QStringList synthetic;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data") && i + 1 < args.size()) options.dataDir = args[++i];
        else if (args[i] == QLatin1String("--ticks") && i + 1 < args.size()) options.ticksFile = args[++i];
        else if (args[i] == QLatin1String("--synthetic-trades") && i + 4 < args.size())
            synthetic = args.mid(i + 1, 4), i += 4;
        else if (args[i].startsWith(QLatin1String("--")) || !options.output.isEmpty()) return usage();
        else options.output = args[i];
    }
    if (!synthetic.isEmpty()) {
        bool ok = false;
        const qint64 count = synthetic[0].toLongLong(&ok);
        const QDate from = QDate::fromString(synthetic[1], Qt::ISODate),
                    to = QDate::fromString(synthetic[2], Qt::ISODate);
        if (!ok || count <= 0 || !from.isValid() || !to.isValid() || !options.output.isEmpty()) return usage();
        QString error;
        if (!pellucar::mkdb::writeSyntheticTrades(options.dataDir, from, to, count, synthetic[3], &error)) {
            std::fprintf(stderr, "pellucar-mkdb: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    if (options.output.isEmpty()) return usage();
    // A large record of trades takes a while: say how far it has come.
    options.progress = [](const char* stage, qint64 trades) {
        std::fprintf(stderr, "pellucar-mkdb: %lld trades %s\n", static_cast<long long>(trades), stage);
    };

    QElapsedTimer timer;
    timer.start();
    pellucar::mkdb::Report report;
    QString error;
    if (!pellucar::mkdb::buildDatabase(options, &report, &error)) {
        std::fprintf(stderr, "pellucar-mkdb: %s\n", qPrintable(error));
        return 1;
    }
    for (const QString& w : report.warnings) std::fprintf(stderr, "pellucar-mkdb: warning: %s\n", qPrintable(w));
    std::printf("%s:", qPrintable(options.output));
    for (const auto& [table, rows] : report.rowsPerTable)
        std::printf(" %s %lld", qPrintable(table), static_cast<long long>(rows));
    std::printf(" (%lld ms)\n", static_cast<long long>(timer.elapsed()));
    return 0;
}
