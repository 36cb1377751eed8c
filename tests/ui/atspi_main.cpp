// test_ui_atspi_app: the game window with a game under way, for a screen
// reader's test (atspi_read.py) to read over the accessibility bus. It prints
// "ready" and then the figures the reader should find, one "key text" a
// line; each "forward" line on its input presses Forward and prints them
// again; "quit" or the end of input ends it.
#include "scripted_dialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QSocketNotifier>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

using namespace pellucar;

namespace {

void printFigures(const ui::Kestrow& w) {
    for (const char* k : {"lblOilCurrMark", "lblEq", "lblDay"})
        std::printf("%s %s\n", k, qPrintable(static_cast<QLabel*>(w.widget(QString::fromLatin1(k)))->text()));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellucar"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QTemporaryDir tmp;
    uitest::WindowRig rig(uitest::writeFixtureDatabase(tmp.filePath(QStringLiteral("reader.mdb"))));
    rig.window.show();
    rig.window.startUp();
    rig.window.action(QStringLiteral("mnuNewGame"))->trigger();
    auto forward = [&] {
        qobject_cast<QAbstractButton*>(rig.window.widget(QStringLiteral("btnChangePeriod")))->click();
    };
    forward();
    QApplication::processEvents();
    std::printf("ready\n");
    printFigures(rig.window);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[64] = {};
        const ssize_t n = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (n <= 0 || QByteArray(line).startsWith("quit")) {
            QApplication::quit();
            return;
        }
        forward();
        printFigures(rig.window);
    });
    return app.exec();
}
