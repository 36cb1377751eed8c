#include "app/game.h"
#include "app/past_games.h"
#include "common/data_files.h"
#include "common/random.h"
#include "ui/kestrow.h"
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellucar"));
    // One look on every desktop, so the colour schemes read the same.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    pellucar::ui::QtDialogs dialogs;
    dialogs.setHelpPath(pellucar::locateDataFile(QStringLiteral("dunmere.hlp")));
    pellucar::SystemRandom random;
    // The record of finished games lives in the player's data folder.
    pellucar::PastGames pastGames(pellucar::PastGames::defaultPath());
    pellucar::Game game(dialogs, random, pellucar::locateDataFile(QStringLiteral("futures.mdb")), &pastGames);
    pellucar::ui::Kestrow window(game, dialogs);
    dialogs.setMainWindow(&window);
    QObject::connect(&window, &pellucar::ui::Kestrow::gameEnded, &app, [](int code) { QApplication::exit(code); });

    window.show();
    window.startUp();
    if (game.ended()) return game.exitCode();
    return app.exec();
}
