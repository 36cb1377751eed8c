#include "app/desk_presenter.h"
#include "app/game.h"
#include "app/game_calendar.h"
#include "app/verdicts.h"
#include "common/format.h"

#include <algorithm>

namespace pellucar {

QString Game::moneyText(double v) const { return QStringLiteral("$") + formatStandard(v); }

GameSummary Game::summaryTexts() const {
    GameSummary s;
    s.verdict = verdict_;
    const Account& a = s_.desk.account;
    s.realized = moneyText(a.realizedPL());
    s.unrealized = moneyText(a.unrealizedPL());
    s.finalScore = moneyText(s_.totalPL);
    s.finesVisible = false;
    return s;
}

void Game::ShowVerdict() {
    verdict_.clear();
    const Account& a = s_.desk.account;
    const bool blownOut = a.blownOut() && s_.periodIndex != s_.gameLengthDays;
    if (!blownOut && a.startingCapital() != 0) {
        const float g = static_cast<float>(roundByPattern(
            (static_cast<double>(a.accountValue()) - a.startingCapital()) / a.startingCapital(),
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
    if (s_.periodIndex == 0) verdict_.clear();
}

void Game::GameOver() {
    const Account& a = s_.desk.account;
    s_.totalPL = static_cast<float>(a.unrealizedPL() + a.realizedPL());
    model_.setText("lblScore", moneyText(s_.totalPL));
    ShowVerdict();
    GameSummary summary = summaryTexts();
    summary.caption = QStringLiteral("Game Over");
    summary.commissions.clear();
    ShowLastPrices();
    // Both choices of this window end the game; it is recorded before the
    // player chooses, so it stays recorded whatever happens next.
    files_.RecordGame(a.blownOut() ? GameEnding::BlownOut : GameEnding::LengthReached, summary.verdict);
    const GameOverChoice choice = dialogs_.gameOver(summary);
    if (choice == GameOverChoice::End) {
        dialogs_.processEvents();
        EndProgram(0);
    }
    PlayAgain(false);
}

void Game::mnuEnd_Click() {
    s_.restartRequested = 0;
    const Account& a = s_.desk.account;
    model_.setText("lblScore", moneyText(a.realizedPL() + a.unrealizedPL()));
    verdict_.clear();
    s_.totalPL = static_cast<float>(a.realizedPL() + a.unrealizedPL());
    if (s_.periodIndex > 45) ShowVerdict();
    GameSummary summary = summaryTexts();
    summary.caption = QStringLiteral("Game Over ");
    summary.commissions = moneyText(s_.commissionTotal);
    summary.restartEnabled = s_.gameStarted || s_.levelSelected;
    ShowLastPrices();
    setGameMenusEnabled(model_, false);
    const EndOfGameChoice choice = dialogs_.endOfGame(summary);
    setGameMenusEnabled(model_, true);
    // Continue goes on with the same game, which is recorded once, when it
    // finally ends; Play Again and End finish it here.
    if (choice != EndOfGameChoice::Continue) files_.RecordGame(GameEnding::EndedByPlayer, summary.verdict);
    if (choice == EndOfGameChoice::End) {
        dialogs_.processEvents();
        EndProgram(0);
    }
    if (choice == EndOfGameChoice::PlayAgain) {
        PlayAgain(true);
    } else {
        dialogs_.processEvents();
        if (s_.periodIndex > 0) {
            if (s_.dataMode == DataMode::Tick) s_.gameLengthDays = s_.tradingDayCount * 6;
            if (s_.gameLengthDays <= s_.tradingDayCount && s_.periodIndex == s_.gameLengthDays) {
                const bool novice = s_.settings.level == Level::Novice;
                const int more = novice ? 30 : 90;
                if (s_.gameLengthDays + more <= 366) {
                    s_.gameLengthDays += more;
                    NotifyPlayer(QStringLiteral("Pellucar Continuation"),
                                 novice ? QStringLiteral("The Game is Continued for One Month")
                                        : QStringLiteral("The Game is Continued for One Quarter"));
                }
            }
        }
        charts_.RefreshCharts();
    }
    ShowCurrentMarket();
    model_.setText("CurrMarkBanner", QStringLiteral("  Current Market:    (Last Trade  *  Change)"));
    if (s_.restartRequested != 1) desk_.SetOrderState(OrderState::ChangePeriod);
}

void Game::PlayAgain(bool fromEndWindow) {
    LoadGamePeriod();
    s_.market.tradingDays.position = 0;
    s_.periodIndex = 0;
    charts_.PrepareCharts();
    ResetGameFromEndWindow();
    s_.gameLengthDays = s_.settings.lengthDays(365);
    model_.setText("LabelDay", QStringLiteral("Day 1:"));
    model_.setText("lblDay", QStringLiteral("Monday"));
    s_.totalPL = 0;
    s_.levelSelected = false;
    s_.restartRequested = 1;
    if (fromEndWindow) {
        setMarketLabelsVisible(model_, false);
        model_.setText("lblTraderInput", QStringLiteral("Trader Input:"));
    } else {
        setMarketButtonsEnabled(model_, true);
    }
    // The next game starts from Game > Start; the settings are free again.
    setSettingsMenusEnabled(model_, true);
    desk_.SetOrderState(OrderState::Restart);
    model_.setEnabled("btnChangePeriod", false);
}

void Game::mnuCommission_Click() {
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
