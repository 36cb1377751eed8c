#pragma once
#include <QList>
#include <QObject>

namespace pellucar::uitest {
QObject* makeHelpSuite();
QObject* makeColorSuite();
QObject* makeMainWindowSuite();
QObject* makeWindowsSuite();
QObject* makeChartViewSuite();
inline QList<QObject*> makeSuites() {
    return {makeHelpSuite(), makeColorSuite(), makeMainWindowSuite(), makeWindowsSuite(), makeChartViewSuite()};
}
} // namespace pellucar::uitest
