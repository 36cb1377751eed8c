#pragma once
#include <QList>
#include <QObject>

namespace pellucar::uitest {
QObject* makeHelpSuite();
QObject* makeColorSuite();
QObject* makeMainWindowSuite();
QObject* makeWindowsSuite();
inline QList<QObject*> makeSuites() {
    return {makeHelpSuite(), makeColorSuite(), makeMainWindowSuite(), makeWindowsSuite()};
}
} // namespace pellucar::uitest
