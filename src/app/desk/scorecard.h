#pragma once
#include "app/dialogs/player_dialogs.h"
#include "app/state/game_state.h"
#include "common/random.h"

#include <QString>

namespace pellucar {

// An amount as the end-of-game windows show it ("$1,234.50").
QString moneyText(double v);

// The score of a game at its end: the verdict, the figures of the Game Over
// and end-of-game windows, and the commission statement.
class Scorecard {
public:
    Scorecard(const GameState& state, RandomSource& random, PlayerDialogs& dialogs);

    // Draws a verdict on the game as it stands; none for a game blown out
    // before its length, one not yet played, or as the draw falls.
    void ShowVerdict();
    const QString& verdict() const { return verdict_; }
    void clearVerdict() { verdict_.clear(); }
    // The figures of the summary windows, with the verdict drawn last time;
    // the review names `scenario`, the one the game started from.
    GameSummary summaryTexts(const QString& scenario) const;
    // Dunmere > Commissions: the score after a commission on every trade.
    void mnuCommission_Click();

private:
    const GameState& s_;
    RandomSource& random_;
    PlayerDialogs& dialogs_;
    QString verdict_;
};

} // namespace pellucar
