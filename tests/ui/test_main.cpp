#include <QApplication>
#include <QTest>

#include <vector>

#include "tst_suites.h"
#include "ui/look.h"

// One executable for every widget test; each suite is a QtTest object. A
// first argument without a dash names one suite by its file
// (tst_past_games.cpp: "past_games"), so that ctest runs the suites side by
// side; the other arguments go to QtTest.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    pellucar::ui::setUpLook();
    std::vector<char*> args(argv, argv + argc);
    QString only;
    if (args.size() > 1 && args[1][0] != '-') {
        only = QString::fromLocal8Bit(args[1]).remove('_') + QStringLiteral("test");
        args.erase(args.begin() + 1);
    }
    int failed = 0, ran = 0;
    for (QObject* suite : pellucar::uitest::makeSuites()) {
        if (only.isEmpty() || only.compare(QLatin1String(suite->metaObject()->className()), Qt::CaseInsensitive) == 0) {
            failed += QTest::qExec(suite, static_cast<int>(args.size()), args.data());
            ++ran;
        }
        delete suite;
    }
    // A name that matches no suite fails rather than passing on nothing.
    return failed == 0 && ran > 0 ? 0 : 1;
}
