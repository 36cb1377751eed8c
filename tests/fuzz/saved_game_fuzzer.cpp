// The saved-game reader: any payload, put in a well-formed envelope (magic,
// version, length and a checksum that fits, as a forger would make it) so
// that every input reaches the reader, then resumed with Game > Resume over
// a game on a small fixture database. The file is either refused with the
// reason, the desk left exactly as it was, or resumed into a game that keeps
// the rules of game_checks.h, there and after one more Forward press.
//
// The seeds are real saves of daily and tick games, with and without an
// order half entered. PELLUCAR_WRITE_SEEDS=DIR makes them again (for a new
// format) and ends the run.
#include "fuzz_support.h"
#include "game_checks.h"

#include "app/game.h"
#include "app/saved_game.h"
#include "app/scripted_dialogs.h"
#include "common/random.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>

#include <cstdlib>
#include <memory>

using namespace pellucar;

namespace {

QString g_database;
QString g_folder;

constexpr qsizetype kHeaderSize = 16; // magic, version, length
constexpr qsizetype kDigestSize = 32;

QByteArray envelope(const QByteArray& payload) {
    QByteArray file;
    QDataStream s(&file, QIODevice::WriteOnly);
    s.writeRawData("PLCRSAVE", 8);
    s << kSavedGameFormat << quint32(payload.size());
    s.writeRawData(payload.constData(), static_cast<int>(payload.size()));
    return file + QCryptographicHash::hash(file, QCryptographicHash::Sha256);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fuzz::fail("the scratch file cannot be written", path);
}

// A game started up on the fixture, saving into and resuming from the
// scratch folder.
struct Desk {
    ScriptedDialogs dialogs;
    ScriptedRandom random;
    Game game{dialogs, random, g_database};
    Desk() {
        game.startUp();
        game.setSaveFolder(g_folder);
        dialogs.clearTranscript();
    }
    void play(const QHash<QString, QString>& setup, const QStringList& clicks) {
        dialogs.queueSetup(setup);
        game.click(QStringLiteral("mnuNewGame"));
        for (const QString& c : clicks) {
            if (c.startsWith('=')) game.setText(QStringLiteral("inputUnits"), c.mid(1));
            else if (c == QLatin1String("Enter")) game.keyPress(QStringLiteral("inputUnits"), Key::Enter);
            else game.click(c);
        }
    }
};

void writeSeeds(const QString& dir) {
    QDir().mkpath(dir);
    const QHash<QString, QString> daily{
        {"level", "Expert"}, {"length", "Month"}, {"data", "Daily"}, {"period", "select"}, {"year", "1990"}};
    const QHash<QString, QString> tick{{"level", "Novice"},  {"length", "Month"}, {"data", "Tick"},
                                       {"period", "select"}, {"month", "1"},      {"year", "1996"}};
    const QString fwd = QStringLiteral("btnChangePeriod");
    const QStringList buyGold{"btnTrade", "btnGold", "btnBuy", "=3", "Enter", "btnYes"};
    const QStringList sellOil{"btnTrade", "btnSell", "=2", "Enter", "btnYes"};
    const struct {
        const char* name;
        QHash<QString, QString> setup;
        QStringList clicks;
    } seeds[] = {
        {"daily", daily, QStringList{fwd, fwd, fwd} + buyGold + QStringList{fwd, fwd, "btnTradeHist"}},
        {"daily-order", daily,
         QStringList{fwd, fwd} + buyGold + QStringList{fwd, "btnTrade", "btnSoybean", "btnSell", "=4", "Enter"}},
        {"tick", tick, QStringList{fwd, fwd, fwd} + sellOil + QStringList{fwd, fwd, fwd, fwd}},
        {"tick-order", tick, QStringList{fwd, fwd} + sellOil + QStringList{fwd, "btnTrade", "btnBuy", "=1"}},
    };
    for (const auto& seed : seeds) {
        Desk desk;
        desk.play(seed.setup, seed.clicks + QStringList{"mnuSave"});
        QFile saved(savedGamePath(g_folder));
        if (!saved.open(QIODevice::ReadOnly)) fuzz::fail("a seed game was not saved", seed.name);
        const QByteArray bytes = saved.readAll();
        writeFile(dir + '/' + seed.name, bytes.sliced(kHeaderSize, bytes.size() - kHeaderSize - kDigestSize));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startQt();
    static const std::unique_ptr<fuzz::MemoryDatabase> db =
        fuzz::MemoryDatabase::smallMarket(QStringLiteral("saved-game"));
    g_database = db->path();
    g_folder = fuzz::scratchPath(QStringLiteral("saves"));
    QDir().mkpath(g_folder);
    if (const char* seeds = std::getenv("PELLUCAR_WRITE_SEEDS")) {
        writeSeeds(QString::fromLocal8Bit(seeds));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray payload(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    writeFile(savedGamePath(g_folder), envelope(payload));

    Desk desk;
    const GameState before = desk.game.state();
    desk.game.click(QStringLiteral("mnuResume"));
    const QStringList lines = desk.dialogs.transcript();
    desk.dialogs.clearTranscript();
    if (desk.game.ended()) fuzz::fail("Resume ended the program", lines);
    if (!lines.isEmpty()) {
        const QString refusal =
            QStringLiteral("frmPlayerNotification: Saved Game | The saved game could not be read: ");
        if (lines.size() != 1 || !lines[0].startsWith(refusal) || lines[0].size() <= refusal.size())
            fuzz::fail("a refusal without its reason", lines);
        if (!(desk.game.state() == before)) fuzz::fail("a refused file changed the desk", lines);
        return 0;
    }
    soak::GameChecker checker;
    checker.resumed();
    if (const QStringList bad = checker.check(desk.game, lines); !bad.isEmpty())
        fuzz::fail("a resumed game breaks a rule", bad);
    if (!desk.game.state().clock.started()) fuzz::fail("a resumed game is not under way", QString());
    desk.game.click(QStringLiteral("btnChangePeriod"));
    if (const QStringList bad = checker.check(desk.game, desk.dialogs.transcript()); !bad.isEmpty())
        fuzz::fail("a resumed game breaks a rule at Forward", bad + desk.dialogs.transcript());
    return 0;
}
