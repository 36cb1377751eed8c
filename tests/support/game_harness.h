#pragma once
#include "app/dialogs/scripted_dialogs.h"
#include "app/game/game.h"
#include "app/record/past_games.h"
#include "app/record/saved_game.h"
#include "common/random.h"
#include "support/fixture_db.h"
#include "support/game_rules.h"

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
// A tick game of January 1996, the month of sharedTickJanuary1996().
inline const GameSpec kTickMonth{.length = GameLength::Month, .data = DataMode::Tick, .year = 1996};

// A game on a fixture database, driven with scripted dialogs.
struct Harness {
    ScriptedDialogs dialogs;
    ScriptedRandom random;
    std::unique_ptr<Game> game;

    explicit Harness(const QString& dbPath, PastGames* pastGames = nullptr)
        : game(std::make_unique<Game>(dialogs, random, dbPath, pastGames)) {}
    // On an open database lent to the game.
    explicit Harness(MarketDatabase& market) : game(std::make_unique<Game>(dialogs, random, market)) {}
    // Starts up, then the game `wanted` describes.
    Harness(const QString& dbPath, const GameSpec& wanted) : Harness(dbPath) { startGame(wanted); }

    void start() { game->startUp(); }
    // Game > Start with the choices `wanted` describes; returns the windows shown on the way.
    QStringList newGame(const GameSpec& wanted);
    // Starts up, then the game `wanted` describes; returns the windows shown.
    QStringList startGame(const GameSpec& wanted) {
        start();
        return newGame(wanted);
    }
    // Trade, market (unless a Novice's Oil) and side: up to the units box.
    void choose(Market m, Side side);
    // The same, then the units and Enter: up to the read-back.
    void enter(Market m, Side side, int units);
    // The same, then Enter Order.
    void order(Market m, Side side, int units) {
        enter(m, side, units);
        game->click(QStringLiteral("btnYes"));
    }
    // Game > End (or the menu item `menu`) answered with `answer`.
    void end(const QString& answer, const QString& menu = QStringLiteral("mnuEnd")) {
        dialogs.queueAnswer(answer);
        game->click(menu);
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
    // Presses Forward until a window whose line starts with `window` shows; returns that line.
    QString forwardUntil(const QString& window);
    QString text(const QString& key) const { return game->model().at(key).text; }
    // The controls' texts joined with " | ", to compare several at once.
    QString texts(const QStringList& keys) const;
    // Those of `keys` whose controls are shown, joined with spaces.
    QString shownOf(const QStringList& keys) const;
    const GameState& state() const { return game->state(); }
    // Transcript lines added since the last call.
    QStringList take() {
        QStringList t = dialogs.transcript();
        dialogs.clearTranscript();
        return t;
    }
};

// Started up with no game yet, its saves in `folder`.
struct SaveHarness : Harness {
    QString folder;
    SaveHarness(const QString& db, const QString& saves) : Harness(db), folder(saves) {
        start();
        game->setSaveFolder(folder);
        take();
    }
    QByteArray saved() const;
    // Game > Save; returns the file it wrote.
    QByteArray save() {
        game->click(QStringLiteral("mnuSave"));
        take();
        return saved();
    }
    // Game > Resume; returns the windows shown.
    QStringList resume() {
        game->click(QStringLiteral("mnuResume"));
        return take();
    }
    // Puts `bytes` in the saved game's place and resumes it (a line saying so when they cannot be put there).
    QStringList resume(const QByteArray& bytes);
};

// A saved game as the version of `format` wrote it: header, `payload` and checksum.
QByteArray savedGameOfFormat(quint32 format, const QByteArray& payload);

// Transcript lines that contain `needle`.
int countLines(const QStringList& lines, const QString& needle);

// The first day's prices of 1990 by commodity id from 1: Cattle, Gold, Oil, SP500, Soybean (cents), TBond.
inline constexpr double kFirstPrices1990[] = {75, 400, 20, 350, 612.25, 98.5};
// Every weekday of 1990 up to `last` (Oil rising by 0.25 a day from 20.00, the other markets flat) and the disclaimer.
void buildDaily1990(FixtureDb& db, const QDate& last = QDate(1990, 12, 31));
// January 1996 tick days up to `last` (23 weekdays in all) with six ticks per market, and a few news stories.
void buildTickJanuary1996(FixtureDb& db, const QDate& last = QDate(1996, 1, 31));
// The two fixtures above, built once per test process and read by every game in it.
const QString& sharedDaily1990();
const QString& sharedTickJanuary1996();

// A record of past games in a folder of its own, made before the game that writes to it.
struct ScratchRecord {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("past-games.sqlite"));
    PastGames store{path};
};

// A daily Expert game of 1990 (on the shared fixture unless another is given) that records its end.
struct RecordedGame : ScratchRecord, Harness {
    explicit RecordedGame(GameLength length = GameLength::Month, const QString& db = sharedDaily1990());
    std::vector<PastGame> games() const { return PastGames(path).games(); }
};

// A recorded game of a 1994 quarter with `score`, played at 20:`minute` on 1 March 2026 with `minute` trades (tick
// data when `minute` is odd).
PastGame pastGameSample(Level level, double score, int minute);

// The bytes of a file; empty when it cannot be read.
QByteArray fileBytes(const QString& path);
// Replaces a file's bytes; false when it cannot be written.
bool writeFile(const QString& path, const QByteArray& bytes);

// Runs SQL on a file directly, as another program or damage would; false when it could not.
bool sql(const QString& path, const char* statement);

} // namespace pellucar::test
