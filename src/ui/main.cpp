#include "app/game/game.h"
#include "app/record/past_games.h"
#include "app/record/saved_game.h"
#include "common/data_files.h"
#include "common/random.h"
#include "ui/desk_settings.h"
#include "ui/kestrow.h"
#include "ui/look.h"
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QSettings>

#include <cstdio>
#include <cstring>

namespace {
const char* const kAppId = "io.github.pellucar.pellucar";

const char* const kUsage = "usage: pellucar [--help] [--version] [Qt options such as -platform or -style]\n"
                           "Opens the Pellucar game window: futures trading on real market history.\n"
                           "\n"
                           "  --help     print this text and exit\n"
                           "  --version  print the version and exit\n"
                           "\n"
                           "The game reads futures.mdb and dunmere.hlp from beside the program, then from\n"
                           "../share/pellucar, then from pellucar/ in the system's data folders. It keeps\n"
                           "saved-game.pellucar and past-games.sqlite in the user's data folder\n"
                           "(~/.local/share/Pellucar) and its window settings in ~/.config/Pellucar.\n";

// The options QApplication takes for itself (with one dash or two).
struct QtOption {
    const char* name;
    bool takesValue;
};

const QtOption* qtOption(const char* arg) {
    static const QtOption options[] = {
        {"platform", true},
        {"platformpluginpath", true},
        {"platformtheme", true},
        {"plugin", true},
        {"qwindowgeometry", true},
        {"qwindowicon", true},
        {"qwindowtitle", true},
        {"reverse", false},
        {"session", true},
        {"style", true},
        {"stylesheet", true},
        {"widgetcount", false},
        {"display", true},
        {"geometry", true},
        {"title", true},
        {"name", true},
        {"visual", true},
        {"ncols", true},
        {"cmap", false},
        {"nograb", false},
        {"dograb", false},
        {"sync", false},
        {"fn", true},
        {"font", true},
        {"bg", true},
        {"background", true},
        {"fg", true},
        {"foreground", true},
        {"btn", true},
        {"button", true},
        {"im", true},
        {"inputstyle", true},
        {"qmljsdebugger", true},
        {"nocrashhandler", false},
    };
    const size_t length = std::strcspn(arg, "=");
    for (const QtOption& o : options)
        if (std::strlen(o.name) == length && std::strncmp(o.name, arg, length) == 0) return &o;
    return nullptr;
}

// --help and --version are answered before the window system is reached, so
// they work on a machine without a display. Returns -1 to carry on.
int answerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("pellucar %s\n", PELLUCAR_VERSION);
            return 0;
        }
    }
    // Anything that is no option of Qt's is refused here too: without a
    // display Qt would abort before it could be told apart.
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* name = arg[0] == '-' ? arg + (arg[1] == '-' ? 2 : 1) : nullptr;
        const QtOption* known = name ? qtOption(name) : nullptr;
        if (!known) {
            std::fprintf(stderr, "pellucar: unknown argument %s (see pellucar --help)\n", arg);
            return 2;
        }
        if (known->takesValue && !std::strchr(name, '=')) ++i;
    }
    return -1;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(kAppId)),
                     QSize(size, size));
    return icon;
}
} // namespace

int main(int argc, char* argv[]) {
    if (const int answered = answerCommandLine(argc, argv); answered >= 0) return answered;
    QApplication app(argc, argv);
    // What Qt did not take for itself is no option of the game.
    for (const QString& arg : app.arguments().mid(1)) {
        std::fprintf(stderr, "pellucar: unknown argument %s (see pellucar --help)\n", qPrintable(arg));
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Pellucar"));
    // Desktops match the window to its entry (and icon) by this name.
    QGuiApplication::setDesktopFileName(QLatin1String(kAppId));
    pellucar::ui::setUpLook();

    pellucar::ui::QtDialogs dialogs;
    dialogs.setHelpPath(pellucar::locateDataFile(QStringLiteral("dunmere.hlp")));
    pellucar::SystemRandom random;
    // The record of finished games lives in the player's data folder.
    pellucar::PastGames pastGames(pellucar::PastGames::defaultPath());
    const QString database = pellucar::locateDataFile(QStringLiteral("futures.mdb"));
    pellucar::Game game(dialogs, random, database, &pastGames);
    game.setSaveFolder(pellucar::defaultSaveFolder());
    pellucar::ui::Kestrow window(game, dialogs);
    dialogs.setMainWindow(&window);
    // The window's place and size and the colours, as the player left them.
    // The desktop's usual place for them, checked before QSettings reads it.
    const QString settingsPath = pellucar::ui::DeskSettings::defaultPath();
    if (const QString why = pellucar::ui::DeskSettings::removeUnusable(settingsPath); !why.isEmpty())
        std::fprintf(stderr, "pellucar: %s\n", qPrintable(why));
    QSettings store(settingsPath, QSettings::IniFormat);
    pellucar::ui::DeskSettings desk(store);
    if (const auto scheme = desk.scheme()) dialogs.chooseScheme(*scheme);
    window.restorePlacement(desk.windowGeometry());
    QObject::connect(&window, &pellucar::ui::Kestrow::gameEnded, &app, [](int code) { QApplication::exit(code); });
    // Decoding the icon's six sizes costs more than a tenth of start-up,
    // and the table's first paint does not show it.
    QObject::connect(&window, &pellucar::ui::Kestrow::firstPainted, &app,
                     [] { QApplication::setWindowIcon(appIcon()); });

    window.show();
    window.startUp();
    if (game.ended()) {
        // Only the market database ends start-up with a failure: after the
        // engine's own words, the player learns where it was looked for.
        if (game.exitCode() == 1) {
            const QString problem = pellucar::dataFileProblem(QStringLiteral("The market database"), database,
                                                              pellucar::dataSearchFolders());
            std::fprintf(stderr, "pellucar: %s\n", qPrintable(problem));
            QMessageBox box(QMessageBox::Critical, QStringLiteral("Pellucar"), problem, QMessageBox::Ok, &window);
            box.exec();
        }
        return game.exitCode();
    }
    const int code = app.exec();
    desk.remember(window.saveGeometry(), dialogs.colors().scheme());
    return code;
}
