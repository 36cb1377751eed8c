#include "app/game.h"
#include "app/past_games.h"
#include "common/data_files.h"
#include "app/saved_game.h"
#include "common/random.h"
#include "ui/kestrow.h"
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

namespace {
const char* const kAppId = "io.github.pellucar.Pellucar";

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(kAppId)), QSize(size, size));
    return icon;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellucar"));
    // Desktops match the window to its entry (and icon) by this name.
    QGuiApplication::setDesktopFileName(QLatin1String(kAppId));
    // One look on every desktop, so the colour schemes read the same.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    pellucar::ui::QtDialogs dialogs;
    dialogs.setHelpPath(pellucar::locateDataFile(QStringLiteral("dunmere.hlp")));
    pellucar::SystemRandom random;
    // The record of finished games lives in the player's data folder.
    pellucar::PastGames pastGames(pellucar::PastGames::defaultPath());
    pellucar::Game game(dialogs, random, pellucar::locateDataFile(QStringLiteral("futures.mdb")), &pastGames);
    game.setSaveFolder(pellucar::defaultSaveFolder());
    pellucar::ui::Kestrow window(game, dialogs);
    dialogs.setMainWindow(&window);
    QObject::connect(&window, &pellucar::ui::Kestrow::gameEnded, &app, [](int code) { QApplication::exit(code); });
    // Decoding the icon's six sizes costs more than a tenth of start-up,
    // and the table's first paint does not show it.
    QObject::connect(&window, &pellucar::ui::Kestrow::firstPainted, &app,
                     [] { QApplication::setWindowIcon(appIcon()); });

    window.show();
    window.startUp();
    if (game.ended()) return game.exitCode();
    return app.exec();
}
