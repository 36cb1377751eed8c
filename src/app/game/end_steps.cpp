#include "app/game/game.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"

namespace pellucar {

void Game::GameOver() {
    const Account& a = s_.desk.account;
    model_.setText("lblScore", moneyText(a.totalPL()));
    score_.ShowVerdict();
    GameSummary summary = score_.summaryTexts(files_.scenario());
    summary.caption = QStringLiteral("Game Over");
    ShowLastPrices();
    // Both choices of this window end the game; it is recorded before the
    // player chooses, so it stays recorded whatever happens next.
    files_.RecordGame(a.blownOut() ? GameEnding::BlownOut : GameEnding::LengthReached, summary.verdict);
    const GameOverChoice choice = dialogs_.gameOver(summary);
    ShowScenarioDebrief();
    if (choice == GameOverChoice::End) {
        dialogs_.processEvents();
        EndProgram(0);
    }
    PlayAgain(false);
}

void Game::mnuEnd_Click() {
    s_.clock.clearRestartRequest();
    const Account& a = s_.desk.account;
    model_.setText("lblScore", moneyText(a.realizedPL() + a.unrealizedPL()));
    score_.clearVerdict();
    if (s_.clock.periodIndex() > 45) score_.ShowVerdict();
    GameSummary summary = score_.summaryTexts(files_.scenario());
    summary.caption = QStringLiteral("Game Over ");
    if (s_.settings.rules == RuleSet::Classic) summary.commissions = moneyText(s_.desk.commissionTotal);
    summary.restartEnabled = s_.clock.started() || s_.levelSelected;
    ShowLastPrices();
    const EndOfGameChoice choice = dialogs_.endOfGame(summary);
    // Continue goes on with the same game, which is recorded once, when it
    // finally ends; Play Again and End finish it here.
    if (choice != EndOfGameChoice::Continue) {
        files_.RecordGame(GameEnding::EndedByPlayer, summary.verdict);
        ShowScenarioDebrief();
    }
    if (choice == EndOfGameChoice::End) {
        dialogs_.processEvents();
        EndProgram(0);
    }
    if (choice == EndOfGameChoice::PlayAgain) {
        PlayAgain(true);
    } else {
        dialogs_.processEvents();
        if (s_.clock.extend(s_.settings.level))
            NotifyPlayer(QStringLiteral("Pellucar Continuation"),
                         s_.settings.level == Level::Novice ? QStringLiteral("The Game is Continued for One Month")
                                                            : QStringLiteral("The Game is Continued for One Quarter"));
        charts_.RefreshCharts();
    }
    ShowCurrentMarket();
    model_.setText(keys::kMarketBanner, QString::fromLatin1(kMarketBannerText));
    if (!s_.clock.restartRequested()) {
        // An order the player was entering when the window opened goes as
        // Cancel Order drops it, so no half-entered order outlives the desk
        // it was entered on (a save would carry it, and Resume refuse it).
        desk_.cancelOrder();
        desk_.SetOrderState(OrderState::ChangePeriod);
    }
}

void Game::PlayAgain(bool fromEndWindow) {
    // The game is finished; the desk waits for the next one's setup.
    gameOnDesk_ = false;
    LoadGamePeriod();
    s_.clock.rewind();
    s_.clock.reset();
    charts_.PrepareCharts();
    ResetGameFromEndWindow();
    model_.setText(keys::kDayCaption, QStringLiteral("Day 1:"));
    model_.setText(keys::kWeekday, QStringLiteral("Monday"));
    s_.levelSelected = false;
    s_.clock.playAgain(s_.settings.lengthDays(365));
    if (fromEndWindow) {
        setMarketLabelsVisible(model_, false);
        model_.setText("lblTraderInput", QStringLiteral("Trader Input:"));
    } else {
        setMarketButtonsEnabled(model_, true);
    }
    // The next game starts from Game > Start; the settings are free again.
    desk_.SetOrderState(OrderState::Restart);
}

} // namespace pellucar
