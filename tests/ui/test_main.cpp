#include <QApplication>
#include <QStyleFactory>
#include <QTest>

#include "tst_suites.h"

// One executable for every widget test; each suite is a QtTest object.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    int failed = 0;
    for (QObject* suite : pellucar::uitest::makeSuites()) {
        failed += QTest::qExec(suite, argc, argv);
        delete suite;
    }
    return failed == 0 ? 0 : 1;
}
