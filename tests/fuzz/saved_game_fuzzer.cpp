// A forged saved game (any payload in an envelope whose checksum fits) resumed over a game; the rules: README.md.
#include "fuzz_support.h"
#include "game_checks.h"

#include "app/game/game.h"
#include "app/record/saved_game.h"

#include <QDir>

using namespace pellucar;

namespace {

// One connection for the process, which each input's fresh game reads.
MarketDatabase* g_market = nullptr;
QString g_folder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startQt();
    g_market = &fuzz::smallMarket(QStringLiteral("saved-game.mdb"));
    g_folder = fuzz::scratchPath(QStringLiteral("saves"));
    QDir().mkpath(g_folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray payload(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Seeds written before format 4 hold format 3's layout: a payload the current format cannot read is
    // enveloped as format 3, which older games are still resumed from.
    QByteArray file = test::savedGameOfFormat(kSavedGameFormat, payload);
    SavedGame probe;
    QString detail;
    if (decodeSavedGame(file, probe, &detail) == SavedGameProblem::Damaged) file = test::savedGameOfFormat(3, payload);
    if (!test::writeFile(savedGamePath(g_folder), file)) fuzz::fail("no scratch file", g_folder);

    test::Harness desk(*g_market);
    desk.start();
    desk.game->setSaveFolder(g_folder);
    desk.take();
    const GameState before = desk.game->state();
    desk.game->click(QStringLiteral("mnuResume"));
    const QStringList lines = desk.take();
    if (desk.game->ended()) fuzz::fail("Resume ended the program", lines);
    if (!lines.isEmpty()) {
        const QString refusal = "frmPlayerNotification: Saved Game | The saved game could not be read: ";
        if (lines.size() != 1 || !lines[0].startsWith(refusal) || lines[0].size() <= refusal.size())
            fuzz::fail("a refusal without its reason", lines);
        if (!(desk.game->state() == before)) fuzz::fail("a refused file changed the desk", lines);
        return 0;
    }
    soak::GameChecker checker;
    checker.resumed();
    if (const QStringList bad = checker.check(*desk.game, lines); !bad.isEmpty())
        fuzz::fail("a resumed game breaks a rule", bad);
    if (!desk.game->state().clock.started()) fuzz::fail("a resumed game is not under way", QString());
    desk.forward();
    if (const QStringList bad = checker.check(*desk.game, desk.dialogs.transcript()); !bad.isEmpty())
        fuzz::fail("a resumed game breaks a rule at Forward", bad + desk.dialogs.transcript());
    return 0;
}
