// Practice: a game the player marks as practice, or one under the Trainer's
// rules, may go back to an earlier period and play on from there. The
// decisions up to that period are Resume's to replay, so a rewound game is
// one the rules could have produced, and saving it keeps it.
#include "app/dialogs/scripted_dialogs.h"
#include "app/game/game.h"
#include "app/record/saved_game.h"
#include "app/record/scenarios.h"

namespace pellucar {

bool Game::Rewindable() const {
    const bool scoredClassic = s_.settings.rules == RuleSet::Classic && !s_.practice;
    return gameOnDesk_ && !scoredClassic && s_.clock.periodIndex() > 1;
}

bool Game::PracticeMarkable() const {
    return gameOnDesk_ && !s_.practice && s_.desk.tradeCount() == 0 && s_.desk.decisions.isEmpty();
}

void Game::mnuPractice_Click() {
    if (!PracticeMarkable()) return;
    s_.practice = true;
    NotifyPlayer(QString::fromLatin1(kRewindTitle), QString::fromLatin1(kPracticeNotice));
}

void Game::mnuRewind_Click() {
    if (!Rewindable() || s_.desk.state != OrderState::ChangePeriod) return;
    const std::optional<int> period = dialogs_.rewindPeriod(s_.clock.periodIndex() - 1);
    if (period) rewindTo(*period);
}

QString Game::rewindTo(int period) {
    QString why;
    if (!Rewindable()) why = QStringLiteral("only a practice or Trainer game goes back");
    else if (period < 1 || period >= s_.clock.periodIndex())
        why = QStringLiteral("period %1 is not one before period %2").arg(period).arg(s_.clock.periodIndex());
    else if (s_.desk.state != OrderState::ChangePeriod) why = QStringLiteral("an order is being entered");
    if (why.isEmpty()) {
        const QString scenario = files_.scenario();
        SavedGame back = savedGameUpTo(savedGameOf(s_, {}, SavedGame::Report::None, findScenario(scenario)), period);
        back.practice = true;
        ++back.rewinds;
        // The replay runs out of sight, as Resume's does; this game stays as
        // it was unless every decision up to the period is made again. The
        // hints come as they came then; the menus' choices stay as they are.
        ScriptedDialogs unseen;
        ScriptedRandom random;
        Game replay(unseen, random, db_);
        replay.unseen_ = true;
        why = replay.ReplaySavedGame(back, unseen, true);
        if (why.isEmpty()) {
            autoPlay_.stop(QString::fromLatin1(kRewindTitle));
            AdoptReplay(replay, scenario);
            PresentControlFlags();
            return {};
        }
    }
    NotifyPlayer(QString::fromLatin1(kRewindTitle), QStringLiteral("The game cannot go back: %1.").arg(why));
    return why;
}

} // namespace pellucar
