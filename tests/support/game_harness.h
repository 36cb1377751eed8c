#pragma once
#include "app/game.h"
#include "app/past_games.h"
#include "app/scripted_dialogs.h"
#include "common/random.h"
#include "support/fixture_db.h"

#include <QHash>
#include <QTemporaryDir>
#include <memory>

namespace pellucar::test {

// The choices of the setup window; a Tick game starts in `month` of `year`.
struct GameSpec {
    Level level = Level::Expert;
    GameLength length = GameLength::Year;
    DataMode data = DataMode::Daily;
    int year = 1990;
    int month = 1;
};

// A game on a fixture database, driven with scripted dialogs.
struct Harness {
    ScriptedDialogs dialogs;
    ScriptedRandom random;
    std::unique_ptr<Game> game;

    explicit Harness(const QString& dbPath, PastGames* pastGames = nullptr)
        : game(std::make_unique<Game>(dialogs, random, dbPath, pastGames)) {}

    void start() { game->startUp(); }
    // Starts up and begins a daily game of 1990 (select period), dropping
    // the windows shown on the way.
    void startDaily1990(const QString& level = QStringLiteral("Expert"),
                        const QString& length = QStringLiteral("Year")) {
        start();
        setup({{"level", level}, {"length", length}, {"data", "Daily"}, {"period", "select"}, {"year", "1990"}});
        take();
    }
    // Starts up and begins the game `wanted` describes, dropping the windows
    // shown on the way.
    void startGame(const GameSpec& wanted);
    // Trade, market (unless a Novice's Oil) and side: up to the units box.
    void choose(Market m, Side side);
    // The same, then the units and Enter: up to the read-back.
    void enter(Market m, Side side, int units);
    // The same, then Enter Order.
    void order(Market m, Side side, int units) {
        enter(m, side, units);
        game->click(QStringLiteral("btnYes"));
    }
    float position(Market m) const { return state().desk.account.position(m); }
    // Starts a game through Game > Start with the given setup choices.
    void setup(const QHash<QString, QString>& settings) {
        dialogs.queueSetup(settings);
        game->click(QStringLiteral("mnuNewGame"));
    }
    void forward(int n = 1) {
        for (int i = 0; i < n; ++i) game->click(QStringLiteral("btnChangePeriod"));
    }
    QString text(const QString& key) const { return game->model().at(key).text; }
    const GameState& state() const { return game->state(); }
    // Transcript lines added since the last call.
    QStringList take() {
        QStringList t = dialogs.transcript();
        dialogs.clearTranscript();
        return t;
    }
};

// Transcript lines that contain `needle`.
int countLines(const QStringList& lines, const QString& needle);

// Every weekday of 1990 (Oil rising by 0.25 a day from 20.00, the other
// markets flat) and the disclaimer row.
void buildDaily1990(FixtureDb& db);
// January 1996 tick days: 22 weekdays with six ticks per market, and a few
// news stories.
void buildTickJanuary1996(FixtureDb& db);
// The two fixtures above, built once per test process and read by every
// game in it.
const QString& sharedDaily1990();
const QString& sharedTickJanuary1996();

// A record of past games in a folder of its own, made before the game that
// writes to it.
struct ScratchRecord {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("past-games.sqlite"));
    PastGames store{path};
};

// A daily Expert game of 1990 (on the shared fixture unless another is
// given) that records its end.
struct RecordedGame : ScratchRecord, Harness {
    explicit RecordedGame(GameLength length = GameLength::Month, const QString& db = sharedDaily1990());
    // Game > Start of a daily month game of 1990.
    void newGame();
    // Presses Forward until a window whose line starts with `window` shows;
    // returns that line.
    QString forwardUntil(const QString& window);
    std::vector<PastGame> games() const { return PastGames(path).games(); }
};

} // namespace pellucar::test
