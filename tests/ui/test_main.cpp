#include <QApplication>
#include <QStyleFactory>
#include <QTest>

#include "tst_suites.h"

// One executable for every widget test; each suite is a QtTest object. A
// first argument without a dash names one suite by its file (tst_past_games.cpp:
// "past_games"), so that ctest runs the suites side by side; the rest of the
// arguments go to QtTest.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QString only;
    if (argc > 1 && argv[1][0] != '-') {
        only = QString::fromLocal8Bit(argv[1]).remove('_') + QStringLiteral("test");
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
    int failed = 0, ran = 0;
    for (QObject* suite : pellucar::uitest::makeSuites()) {
        if (only.isEmpty() ||
            only.compare(QLatin1String(suite->metaObject()->className()), Qt::CaseInsensitive) == 0) {
            failed += QTest::qExec(suite, argc, argv);
            ++ran;
        }
        delete suite;
    }
    return failed == 0 && ran > 0 ? 0 : 1;
}
