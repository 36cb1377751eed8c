// pellucar-play: plays a scripted session without a window and prints what
// the player would have seen, one line per modal window.
#include "app/dialogs/scripted_dialogs.h"
#include "app/game/game.h"
#include "app/record/saved_game.h"
#include "common/data_files.h"
#include "common/random.h"
#include "play_driver.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace pellucar;

namespace {
const char* const kUsage = "usage: pellucar-play [--database PATH] [--seed N] [--saves DIR] [SCRIPT]\n"
                           "Plays a script of Pellucar commands without a window and prints one line\n"
                           "for each window the player would have seen. The script is read from SCRIPT,\n"
                           "or from standard input when SCRIPT is missing or \"-\".\n"
                           "\n"
                           "  --database PATH  the market database to play on (default: the installed futures.mdb)\n"
                           "  --seed N         a seed for the game's random choices, so a run can be repeated\n"
                           "  --saves DIR      the folder Game > Save writes to (default: a folder of this run)\n"
                           "  --help           print this text and exit\n"
                           "  --version        print the version and exit\n"
                           "\n"
                           "Commands, one a line (# starts a comment; pellucar-play(6) tells each):\n"
                           "  setup KEY=VALUE ...   forward [N]          autoplay [N]\n"
                           "  click NAME [INDEX]    type TEXT            key Enter|Tab\n"
                           "  answer NAME           trade MARKET buy|sell UNITS\n"
                           "  show NAME ...         state                scenario NAME\n"
                           "  review                export PATH          view scroll|zoom N\n"
                           "  chart                 note N TEXT          rewind N\n"
                           "  draw hline|trend|remove ...                drawings\n"
                           "Trainer-rules:\n"
                           "  order MARKET buy|sell UNITS [TYPE P] [day|gtc]\n"
                           "  bracket MARKET buy|sell UNITS [TYPE P] [stop S] [target T]\n"
                           "  orders                change N price|units V          cancel N\n"
                           "\n"
                           "Exit status: 0 at the script's end, 2 on a script or argument error,\n"
                           "otherwise the game's own exit (1 when the database cannot be opened).\n";
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool databaseGiven = false;
    QString database = locateDataFile(QStringLiteral("futures.mdb"));
    QString scriptPath;
    QString saveFolder;
    bool seeded = false;
    quint64 seed = 0;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--database") && i + 1 < args.size()) {
            database = args[++i];
            databaseGiven = true;
        } else if (args[i] == QLatin1String("--saves") && i + 1 < args.size()) {
            saveFolder = args[++i];
        } else if (args[i] == QLatin1String("--seed") && i + 1 < args.size()) {
            bool ok = false;
            seed = args[++i].toULongLong(&ok);
            if (!ok) {
                std::fprintf(stderr, "pellucar-play: --seed takes a whole number\n");
                return 2;
            }
            seeded = true;
        } else if (args[i] == QLatin1String("--help") || args[i] == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (args[i] == QLatin1String("--version")) {
            std::printf("pellucar-play %s\n", PELLUCAR_VERSION);
            return 0;
        } else if (scriptPath.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            scriptPath = args[i];
        } else {
            std::fprintf(stderr, "pellucar-play: unknown argument %s\n", qPrintable(args[i]));
            return 2;
        }
    }

    QString script;
    if (scriptPath.isEmpty() || scriptPath == QLatin1String("-")) {
        QTextStream in(stdin);
        script = in.readAll();
    } else {
        QFile f(scriptPath);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            std::fprintf(stderr, "pellucar-play: cannot read %s\n", qPrintable(scriptPath));
            return 2;
        }
        script = QString::fromUtf8(f.readAll());
    }

    QTextStream out(stdout);
    ScriptedDialogs dialogs;
    dialogs.setOutput([&out](const QString& line) {
        out << line << '\n';
        out.flush();
    });
    SystemRandom random = seeded ? SystemRandom(seed) : SystemRandom();
    Game game(dialogs, random, database);
    // Game > Save writes to --saves, or to a folder that goes with the run:
    // a script never touches the player's own saved game.
    QTemporaryDir scratch;
    if (saveFolder.isEmpty() && scratch.isValid()) saveFolder = scratch.path();
    game.setSaveFolder(saveFolder);
    PlayDriver driver(game, dialogs, out);

    // The start-up windows come first; the script answers them too, so its
    // leading answer lines are queued before start-up runs.
    QStringList lines = script.split('\n');
    int first = 0;
    for (; first < lines.size(); ++first) {
        const QString t = lines[first].trimmed();
        if (t.isEmpty() || t.startsWith('#')) continue;
        if (!t.startsWith(QLatin1String("answer "))) break;
        dialogs.queueAnswer(t.section(' ', 1).trimmed());
    }
    game.startUp();
    if (game.ended()) {
        // Only the market database ends start-up with a failure.
        if (game.exitCode() == 1)
            std::fprintf(stderr, "pellucar-play: %s\n",
                         qPrintable(dataFileProblem(QStringLiteral("The market database"), database,
                                                    databaseGiven ? QStringList() : dataSearchFolders())));
        return game.exitCode();
    }
    for (int i = 0; i < first; ++i) lines[i].clear(); // already queued
    switch (driver.run(lines)) {
    case PlayDriver::Result::ScriptError:
        std::fprintf(stderr, "pellucar-play: %s\n", qPrintable(driver.error()));
        return 2;
    case PlayDriver::Result::ProgramEnded: return game.exitCode();
    case PlayDriver::Result::Finished: break;
    }
    return 0;
}
