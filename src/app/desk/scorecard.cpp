#include "app/desk/scorecard.h"
#include "app/record/review.h"
#include "app/record/verdicts.h"
#include "common/format.h"

namespace pellucar {

QString moneyText(double v) { return QStringLiteral("$") + formatStandard(v); }

Scorecard::Scorecard(const GameState& state, RandomSource& random, PlayerDialogs& dialogs)
    : s_(state), random_(random), dialogs_(dialogs) {}

GameSummary Scorecard::summaryTexts(const QString& scenario) const {
    GameSummary s;
    s.verdict = verdict_;
    const Account& a = s_.desk.account;
    s.realized = moneyText(a.realizedPL());
    s.unrealized = moneyText(a.unrealizedPL());
    s.finalScore = moneyText(a.totalPL());
    // The Trainer rules charge commissions to the account: every window at a
    // game's end shows what was paid. A Classic game's Game Over window shows
    // none, and its end-of-game window the running total of its own.
    if (s_.settings.rules == RuleSet::Trainer) s.commissions = moneyText(a.commissionsPaid());
    s.finesVisible = false;
    // The windows at a game's end offer its review once a period was played.
    if (s_.clock.periodIndex() > 0) s.review = reviewRecordOf(s_, scenario);
    return s;
}

void Scorecard::ShowVerdict() {
    verdict_.clear();
    const Account& a = s_.desk.account;
    const bool blownOut = a.blownOut() && s_.clock.periodIndex() != s_.clock.lengthPeriods();
    if (!blownOut && a.startingCapital() != 0) {
        const float g = static_cast<float>(
            roundByPattern((static_cast<double>(a.accountValue()) - a.startingCapital()) / a.startingCapital(),
                           QStringLiteral("#,###.###0")));
        const bool novice = s_.settings.level == Level::Novice;
        int column = -1;
        if (novice) {
            const int r = static_cast<int>(random_.next() * 3 + 1);
            if (r != 1) column = 0;
        } else {
            const int r = static_cast<int>(random_.next() * 6 + 1);
            if (r >= 1 && r <= 4) column = r;
        }
        if (column >= 0) {
            const VerdictBand band = verdictBand(g, s_.desk.tradeCount(), novice);
            int pick = 1;
            if (verdictHasTwoTexts(band, column)) pick = static_cast<int>(random_.next() * 2 + 1);
            verdict_ = verdictText(band, column, pick);
        }
    }
    if (s_.clock.periodIndex() == 0) verdict_.clear();
}

void Scorecard::mnuCommission_Click() {
    const Account& a = s_.desk.account;
    const double c = statementCommission(s_.desk.tradeCount());
    CommissionStatement st;
    st.before = moneyText(a.realizedPL() + a.unrealizedPL());
    st.commissions = moneyText(c);
    st.after = moneyText(a.realizedPL() + a.unrealizedPL() - c);
    st.explanation = QStringLiteral(
        "No commissions are charged to the Trader's Account during the Game.  The following displays the final "
        "score after a $25.00 per trade commission is charged to the Trader's Account.");
    dialogs_.commissions(st);
}

} // namespace pellucar
