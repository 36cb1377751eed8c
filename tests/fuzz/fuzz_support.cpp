#include "fuzz_support.h"

#include "market/market_data.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sanitizer/common_interface_defs.h>

#include <cstdio>
#include <cstdlib>

namespace pellucar::fuzz {

void startQt() {
    static int argc = 1;
    static char name[] = "pellucar-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

QString scratchPath(const QString& name) {
    // Every input writes its file anew; memory-backed storage keeps that cheap.
    const QString dir = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return dir + QStringLiteral("/pellucar-") + name + '-' + QString::number(QCoreApplication::applicationPid());
}

void buildSmallMarket(test::FixtureDb& db) {
    // A quarter of daily rows: enough for a month's or a quarter's game and
    // for a year's game to run out of data, and few enough that every input
    // reads them quickly.
    db.addWeekdays(QDate(1990, 1, 1), QDate(1990, 3, 31), [](int id, int day) {
        switch (id) {
        case 3: return 20.0 + 0.25 * day; // Oil
        case 2: return 400.0 - 0.5 * (day % 40); // Gold
        case 6: return 98.5;                     // TBond
        case 4: return 350.0 + (day % 7);        // SP500
        case 1: return 75.0;                     // Cattle
        default: return 612.25;                  // Soybean, cents
        }
    });
    db.addOverview(QDate(1965, 10, 17), 0, QStringLiteral("A game, not advice."));
    db.addOverview(QDate(1989, 1, 1), 3, QStringLiteral("Oil in 1989."));
    db.addOverview(QDate(1995, 1, 1), 3, QStringLiteral("Oil in 1995."));
    db.exec(QStringLiteral("BEGIN"));
    const QList<QDate> days = test::weekdays(QDate(1996, 1, 1), QDate(1996, 1, 31));
    for (int d = 0; d < days.size(); ++d) {
        db.addTickDay(days[d]);
        for (int id = 1; id <= 6; ++id) {
            for (int k = 1; k <= 6; ++k) {
                const QString when =
                    days[d].toString(Qt::ISODate) + ' ' + tickSamplingTime(id, k).toString(QStringLiteral("HH:mm:ss"));
                double real = 10.0;
                if (id == 3) real = (18.0 + 0.01 * (d * 6 + k - 1)) / 10.0;
                if (id == 5) real = 7.2;
                if (id == 6) real = 118.05;
                db.addTick(id, when, real);
            }
        }
    }
    db.exec(QStringLiteral("COMMIT"));
    db.addNews(QDate(1996, 1, 2), QStringLiteral("08:30:00"), QStringLiteral("Early Report"), QStringLiteral("Short story."));
    db.addNews(QDate(1996, 1, 2), QStringLiteral("11:01:00"), QStringLiteral("Noon Report"), QString(400, 'x'));
    db.addNews(QDate(1996, 1, 3), QStringLiteral("10:15:00"), QStringLiteral("Mid Report"), QString(700, 'y'));
}

void fail(const char* rule, const QString& detail) { fail(rule, QStringList{detail}); }

void fail(const char* rule, const QStringList& details) {
    std::fprintf(stderr, "BROKEN RULE: %s\n", rule);
    for (const QString& d : details) std::fprintf(stderr, "  %s\n", qPrintable(d));
    std::fflush(stderr);
    // A run with -close_fd_mask=2 discards stderr; the sanitizers' own
    // report channel still reaches the log, so the rule goes there too.
    const QByteArray summary = QByteArray("pellucar broken rule: ") + rule + ": " + details.value(0).toUtf8();
    __sanitizer_report_error_summary(summary.constData());
    std::abort();
}

} // namespace pellucar::fuzz
