#pragma once
// What the window suites share: the scripted rig, the windows and the Qt
// classes most of them use.
#include "scripted_dialogs.h"
#include "ui/chart_view.h"
#include "ui/color_scheme.h"
#include "ui/metrics.h"
#include "ui/past_games_window.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace pellucar::uitest {
// A window's child by object name; a test that names one it lacks stops there.
template <class T = QWidget> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no %s", name);
    return c;
}
// Autumn 1987 as a short game of three markets, two of its trades noted in the journal (tst_windows.cpp).
ReviewRecord autumnReview();
QObject* makeHelpSuite();
QObject* makeColorSuite();
QObject* makeMainWindowSuite();
QObject* makeWindowsSuite();
QObject* makeChartViewSuite();
QObject* makeDeskSuite();
QObject* makeAccessSuite();
QObject* makeHostileSuite();
QObject* makeOrdersSuite();
inline QList<QObject*> makeSuites() {
    return {makeHelpSuite(), makeColorSuite(),  makeMainWindowSuite(), makeWindowsSuite(), makeChartViewSuite(),
            makeDeskSuite(), makeAccessSuite(), makeHostileSuite(),    makeOrdersSuite()};
}
} // namespace pellucar::uitest
