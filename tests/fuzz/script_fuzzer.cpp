// Any text as a pellucar-play script, run line by line through PlayDriver; what must hold is listed in README.md.
#include "fuzz_support.h"
#include "game_checks.h"
#include "play_driver.h"

#include "app/dialogs/scripted_dialogs.h"
#include "app/game/game.h"
#include "common/random.h"

#include <QRegularExpression>
#include <QTextStream>

using namespace pellucar;

namespace {

// One connection for the process: each input's fresh game reads it, as games made one after another may.
MarketDatabase* g_market = nullptr;

// A script may ask for any number of Forward presses; past a few hundred per input the run only repeats itself, so
// longer runs are left out.
constexpr int kMostPresses = 400;
constexpr int kMostSetups = 12;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startQt();
    g_market = &fuzz::smallMarket(QStringLiteral("script.mdb"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString script = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList lines = script.split('\n');

    // Bound the work, using the reader's own word split.
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    int presses = 0, setups = 0;
    for (QString& line : lines) {
        const QStringList w = line.left(line.indexOf('#')).trimmed().split(blanks);
        bool ok = true;
        const int n = w[0] != QLatin1String("forward") ? 0 : w.size() > 1 ? w[1].toInt(&ok) : 1;
        // Only kept presses count, so the sum never passes kMostPresses (nor overflows on a count near INT_MAX).
        if (ok && n > kMostPresses - presses) line.clear();
        else if (ok && n > 0) presses += n;
        if (w[0] == QLatin1String("setup") && ++setups > kMostSetups) line.clear();
    }

    ScriptedDialogs dialogs;
    // Random periods and verdicts follow the input, so a crash repeats.
    SystemRandom random(qHashBits(data, size));
    Game game(dialogs, random, *g_market);
    QString printed;
    QTextStream out(&printed);
    PlayDriver driver(game, dialogs, out);
    soak::GameChecker checker;

    // As pellucar-play does: leading answers are queued before start-up.
    int first = 0;
    for (; first < lines.size(); ++first) {
        const QString t = lines[first].trimmed();
        if (t.isEmpty() || t.startsWith('#')) continue;
        if (!t.startsWith(QLatin1String("answer "))) break;
        dialogs.queueAnswer(t.section(' ', 1).trimmed());
    }
    game.startUp();
    for (int i = first - 1; i < lines.size(); ++i) {
        const bool startUp = i < first;
        const PlayDriver::Result r = startUp ? PlayDriver::Result::Finished : driver.run(QStringList{lines[i]});
        const QString where =
            startUp ? QStringLiteral("start-up") : QStringLiteral("line %1: %2").arg(i + 1).arg(lines[i].left(200));
        if (r == PlayDriver::Result::ProgramEnded || game.ended()) {
            if (!startUp && (r != PlayDriver::Result::ProgramEnded || !game.ended()))
                fuzz::fail("the driver missed the end", where);
            if (const QString why = soak::checkProgramEnd(game, dialogs.transcript()); !why.isEmpty())
                fuzz::fail("the program ended without the player ending it", QStringList{where, why});
            return 0;
        }
        if (const QStringList bad = checker.check(game, dialogs.transcript()); !bad.isEmpty())
            fuzz::fail("a rule broke", QStringList{where} + bad + dialogs.transcript());
        dialogs.clearTranscript();
        if (r == PlayDriver::Result::ScriptError) {
            // The reader names the line and says what is wrong with it.
            if (!driver.error().startsWith(QLatin1String("line 1: ")) || driver.error().size() <= 8)
                fuzz::fail("script error without its reason", QStringList{where, driver.error()});
            return 0;
        }
    }
    return 0;
}
