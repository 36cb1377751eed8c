// test_ui_atspi_app: the game window with a game under way, for a screen
// reader's test (atspi_read.py) to read over the accessibility bus. It prints
// "ready" and then the figures the reader should find, one "key text" a
// line; each "forward" line on its input presses Forward and prints them
// again; "quit" or the end of input ends it.
#include "scripted_dialogs.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QStyleFactory>

#include <cstdio>
#include <unistd.h>

using namespace pellucar;

namespace {

void printFigures(const uitest::WindowRig& rig) {
    for (const char* k : {"lblOilCurrMark", "lblEq", "lblDay"}) std::printf("%s %s\n", k, qPrintable(rig.text(k)));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellucar"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    uitest::WindowRig rig;
    rig.startGame(1);
    QApplication::processEvents();
    std::printf("ready\n");
    printFigures(rig);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[64] = {};
        const ssize_t n = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (n <= 0 || QByteArray(line).startsWith("quit")) {
            QApplication::quit();
            return;
        }
        rig.click("btnChangePeriod");
        printFigures(rig);
    });
    return app.exec();
}
