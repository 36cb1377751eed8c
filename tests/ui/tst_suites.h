#pragma once
#include <QList>
#include <QObject>

namespace pellucar::uitest {
QObject* makeHelpSuite();
QObject* makeColorSuite();
QObject* makeMainWindowSuite();
QObject* makeWindowsSuite();
QObject* makeChartViewSuite();
QObject* makeDeskSuite();
QObject* makeAccessSuite();
inline QList<QObject*> makeSuites() {
    return {makeHelpSuite(),      makeColorSuite(), makeMainWindowSuite(), makeWindowsSuite(),
            makeChartViewSuite(), makeDeskSuite(),  makeAccessSuite()};
}
} // namespace pellucar::uitest
