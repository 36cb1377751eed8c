#include "app/game/game.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"
#include "trading/order_texts.h"

namespace pellucar {

namespace {

// The account values its positions at the period's prices and its margin
// call trades at the buy quotes.
MarketPrices currentPrices(const PriceHistory& prices) {
    MarketPrices p{};
    for (Market m : kTradingOrder) p[static_cast<size_t>(index(m))] = prices.current.get(m);
    return p;
}

MarketPrices quotes(const PriceHistory& prices) {
    MarketPrices q{};
    for (Market m : kTradingOrder) q[static_cast<size_t>(index(m))] = prices.buyQuote[static_cast<size_t>(index(m))];
    return q;
}

} // namespace

void Game::CalcAccountValue() { desk_.revalue(currentPrices(s_.prices)); }

void Game::RevalueAccount() {
    CalcAccountValue();
    if (!s_.desk.account.blownOut()) {
        ShowAccountFigures();
        return;
    }
    BlowOut();
}

void Game::BlowOut() {
    ShowAccountFigures();
    GameSummary summary = score_.summaryTexts(files_.scenario());
    summary.caption = QStringLiteral("Game Over");
    const int r = static_cast<int>(random_.next() * 3 + 1);
    if (r == 1) {
        score_.ShowVerdict();
        summary.verdict = score_.verdict();
    } else {
        summary.verdict = QStringLiteral("You Blew Out of the Game, by Losing All of Your Money!");
    }
    files_.RecordGame(GameEnding::BlownOut, summary.verdict);
    const GameOverChoice choice = dialogs_.gameOver(summary);
    ShowCurrentMarket();
    model_.setText(controlKey<keys::kMarketBanner>(), QString::fromLatin1(kMarketBannerText));
    if (choice == GameOverChoice::End) {
        dialogs_.processEvents();
        EndProgram(0);
    }
    PlayAgain(false);
}

void Game::ShowAccountFigures() {
    // Texts only: no rule reads them, and a replay's are presented again.
    if (unseen_) return;
    presentAccount(s_.desk, s_.settings.level, model_, &accountTexts_);
    ShowCurrentMarket();
}

void Game::MarginCallCheck() {
    const Account& a = s_.desk.account;
    if (a.blownOut()) {
        BlowOut();
        return;
    }
    if (s_.clock.periodIndex() > 1 && a.marginCalled())
        NotifyPlayer(QString::fromLatin1(kMarginCallTitle), marginCallMessage(a.marginCallAmount()));
}

void Game::ForceLiquidation() {
    if (s_.desk.account.blownOut()) {
        GameOver();
        return;
    }
    if (s_.clock.periodIndex() < 2) return;
    for (int step = 1; step <= Account::kLiquidationSteps && s_.desk.account.marginCalled(); ++step)
        if (!MandatoryTrade(step)) break;
    if (!s_.desk.account.marginCalled()) desk_.SetOrderState(OrderState::ChangePeriod);
}

bool Game::MandatoryTrade(int step) {
    const std::optional<pellucar::MandatoryTrade> t = s_.desk.account.mandatoryTrade(step, quotes(s_.prices));
    if (!t) return true;
    NotifyPlayer(QString::fromLatin1(kMarginCallLiquidationTitle), t->message);
    const bool executed = desk_.fillMandatory(*t);
    if (executed) s_.marginCallPending = true;
    if (executed && s_.settings.rules == RuleSet::Trainer) desk_.cancelWorkingFor(t->market);
    return executed;
}

} // namespace pellucar
