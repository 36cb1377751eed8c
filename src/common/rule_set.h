#pragma once
#include <QString>

namespace pellucar {

// The rules a game is played under: Classic, the game as it always was
// (market orders at the period's price), or Trainer, which adds orders that
// rest (limit, stop, brackets) and charges commissions at each fill.
enum class RuleSet { Classic, Trainer };

// "Classic" or "Trainer".
inline QString ruleSetName(RuleSet rules) {
    return rules == RuleSet::Trainer ? QStringLiteral("Trainer") : QStringLiteral("Classic");
}

// Returns false, leaving *out alone, for any other text.
inline bool ruleSetFromName(const QString& name, RuleSet* out) {
    for (RuleSet r : {RuleSet::Classic, RuleSet::Trainer}) {
        if (ruleSetName(r) == name) {
            *out = r;
            return true;
        }
    }
    return false;
}

} // namespace pellucar
