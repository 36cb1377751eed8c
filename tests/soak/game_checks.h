#pragma once
// The rules that hold after every player action, whatever it was: the account and its lots, the trade record and
// every window the game showed. Shared by the soak and the fuzz targets that play a game.
#include "app/game/game.h"
#include "support/account_model.h"

#include <QStringList>

namespace pellucar::soak {

// Why one transcript line ("WINDOW: caption | message") is not a window the game may show with a text it may show;
// empty when it is. `databaseNotice` allows the one fatal notice, a database that cannot be opened.
QString checkTranscriptLine(const QString& line, bool databaseNotice = false);

// Why the program's end is not the player's choice (an answer to the last window, exit code 0); empty when it is.
QString checkProgramEnd(const Game& game, const QStringList& lines);

// Follows one game object, replaying its trade record into the independent account model (lots, realized P(L)).
class GameChecker {
public:
    explicit GameChecker(bool databaseNotice = false) : databaseNotice_(databaseNotice) {}

    // Every rule broken by one action, which wrote the transcript `lines`.
    QStringList check(const Game& game, const QStringList& lines);
    // The figures of a window at a game's end (and of its review) against the trades replayed into the model, as
    // the window opens; `commissions` for the end-of-game window, which shows them.
    QStringList checkSummary(const Game& game, const GameSummary& summary, bool commissions);
    // A new game object: followed from its first game, the tallies kept.
    void restart() { *this = GameChecker(databaseNotice_, figures_); }
    // How many refusals' maxima and windows' figures were worked out and compared.
    long long figuresChecked() const { return figures_; }
    // Game > Resume replaced the game out of sight: the next check takes its trades and news without their windows.
    void resumed() { resumed_ = true; }
    // The checker's own test: a lot the game never booked, which the next check must report.
    void plantStrayLot(Market m, long long units) { model_.fill(m, units, 20.0); }

private:
    GameChecker(bool databaseNotice, long long figures) : databaseNotice_(databaseNotice), figures_(figures) {}
    // The largest order the refusal `message` should name, worked out for the order being entered.
    QString checkRefusalFigure(const GameState& s, const QString& message);

    bool databaseNotice_;
    long long figures_ = 0;
    int replayed_ = 0;                           // trade records already replayed
    test::AccountModel model_{Level::Expert, 0}; // compares lots and realized P(L): level and capital do not matter
    bool pricesSane_ = true;                     // every replayed fill had a price the model can hold
    bool resumed_ = false;
    double commissions_ = 0; // the Trainer's, of the fills replayed
};

} // namespace pellucar::soak
