// pellucar-mkdb [--data DIR] [--ticks FILE] OUTPUT.mdb
// Builds the market database from the project's data folder.
#include "mkdb.h"

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
                 "  --data DIR    the project's data folder (default %s)\n"
                 "  --ticks FILE  real intraday trades, CSV market,datetime,price (market's own units,\n"
                 "                Soybean in cents); they replace the derived ticks of the days they cover\n",
                 PELLUCAR_DEFAULT_DATA_DIR);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    pellucar::mkdb::Options options;
    options.dataDir = QStringLiteral(PELLUCAR_DEFAULT_DATA_DIR);
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data") && i + 1 < args.size()) options.dataDir = args[++i];
        else if (args[i] == QLatin1String("--ticks") && i + 1 < args.size()) options.ticksFile = args[++i];
        else if (args[i].startsWith(QLatin1String("--")) || !options.output.isEmpty()) return usage();
        else options.output = args[i];
    }
    if (options.output.isEmpty()) return usage();

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
