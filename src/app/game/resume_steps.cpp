// Game > Resume: the saved game's set-up and decisions played through the
// rules again, on a game of its own and out of sight; the game on the desk
// takes its state only when every decision went as the file says, and the
// window is then drawn again from that state.
#include "app/dialogs/scripted_dialogs.h"
#include "app/game/game.h"
#include "app/record/saved_game.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"

#include <algorithm>
#include <cmath>

namespace pellucar {

namespace {

QString sideButton(Side side) { return side == Side::Buy ? QStringLiteral("btnBuy") : QStringLiteral("btnSell"); }

QString lengthName(GameLength length) {
    switch (length) {
    case GameLength::Month: return QStringLiteral("Month");
    case GameLength::Quarter: return QStringLiteral("Quarter");
    case GameLength::Year: return QStringLiteral("Year");
    }
    return {};
}

} // namespace

void Game::mnuResume_Click() {
    SavedGame saved;
    if (!files_.readSavedGame(saved)) return;
    // A file the rules refuse leaves this game exactly as it was: the replay
    // runs on a game of its own, whose windows nobody sees, reading this
    // game's open database.
    ScriptedDialogs unseen;
    ScriptedRandom random;
    Game replay(unseen, random, db_);
    replay.setUnseen(true);
    const QString why = replay.ReplaySavedGame(saved, unseen);
    if (!why.isEmpty()) {
        files_.refuseSavedGame(savedGameProblemText(SavedGameProblem::Impossible, why));
        return;
    }
    if (!files_.confirmResume()) return;
    AdoptReplay(replay, saved.scenario);
}

void Game::AdoptReplay(Game& replay, const QString& scenario) {
    s_ = std::move(replay.s_);
    // The controls as the replay left them, with this window's tooltips.
    for (const QString& key : replay.model_.keys()) {
        ControlState c = replay.model_.at(key);
        c.tooltip = model_.at(key).tooltip;
        model_[key] = c;
    }
    // What was worked out from the last game's period goes with it.
    charts_.forgetPeriod();
    score_.clearVerdict();
    gameOnDesk_ = true;
    files_.resumed(scenario);
    PresentGame();
}

QString Game::ReplaySavedGame(const SavedGame& g, ScriptedDialogs& dialogs, bool hintsAsReplayed) {
    startUp();
    if (ended_) return QStringLiteral("the market database cannot be opened");
    if (const Scenario* scenario = findScenario(g.scenario); scenario && !g.scenario.isEmpty()) {
        // A scenario begins on its own first day, with its market charted.
        if (!BeginScenario(*scenario, g.news, g.rules))
            return QStringLiteral("the market database has no data for its scenario");
    } else {
        dialogs.queueSetup({{"level", levelName(g.level)},
                            {"length", lengthName(g.length)},
                            {"data", dataModeName(g.data)},
                            {"news", g.news == NewsOption::Daily ? QStringLiteral("Daily") : QStringLiteral("Annual")},
                            {"period", "select"},
                            {"month", QString::number(g.startMonth)},
                            {"year", QString::number(g.startYear)},
                            {"rules", ruleSetName(g.rules)}});
        click(QString::fromLatin1(keys::kNewGame));
    }
    if (ended_ || s_.clock.dataMode() != g.data || s_.settings.level != g.level || s_.market.tradingDays.count() == 0)
        return QStringLiteral("the market database has no data for its period");
    // What the maximum shows decides what an order's figures are refreshed
    // with, so it is the player's from the start.
    s_.settings.maximumDisplay = g.maximumDisplay;
    s_.settings.commissionRate = g.commissionRate;
    s_.practice = g.practice;
    s_.rewinds = g.rewinds;

    // After every step the trades the rules have made must begin the saved
    // record, and every step must move the game. The record only grows, so
    // each step compares the trades it made, not the whole record again.
    const QList<TradeRecord>& made = s_.desk.trades.records();
    qsizetype matched = 0;
    const auto followed = [&] {
        if (made.size() > g.trades.size() || made.size() < matched) return false;
        if (!std::equal(made.begin() + matched, made.end(), g.trades.begin() + matched)) return false;
        matched = made.size();
        return true;
    };
    const auto forward = [&]() -> QString {
        const int period = s_.clock.periodIndex();
        const qsizetype trades = made.size();
        click(QString::fromLatin1(keys::kForward));
        if (ended_ || !s_.clock.started()) return QStringLiteral("the game is over after period %1").arg(period);
        if (!followed()) return QStringLiteral("the margin call of period %1 trades otherwise").arg(period);
        if (s_.clock.periodIndex() == period && made.size() == trades)
            return QStringLiteral("Forward does not move on from period %1").arg(period);
        return {};
    };

    // The decisions on working orders are made again where the player made
    // them: in their period, after as many trades as were made then.
    qsizetype decided = 0;
    const auto decide = [&]() -> QString {
        while (decided < g.decisions.size()) {
            const OrderDecision& d = g.decisions[decided];
            if (d.period != s_.clock.periodIndex() || d.tradesBefore != made.size()) return {};
            QString why;
            switch (d.kind) {
            case OrderDecision::Kind::Place: {
                int id = 0;
                why = placeOrder(d.request, &id);
                break;
            }
            case OrderDecision::Kind::ChangePrice: why = changeOrderPrice(d.id, d.price); break;
            case OrderDecision::Kind::ChangeUnits: why = changeOrderUnits(d.id, d.units); break;
            case OrderDecision::Kind::Cancel: why = cancelWorkingOrder(d.id); break;
            }
            ++decided;
            if (!why.isEmpty() || ended_ || !followed() || s_.desk.decisions.size() != decided)
                return QStringLiteral("order decision %1 is not one the desk takes in period %2")
                    .arg(decided)
                    .arg(d.period);
        }
        return {};
    };

    while (made.size() < g.trades.size() || decided < g.decisions.size()) {
        if (const QString why = decide(); !why.isEmpty()) return why;
        if (decided < g.decisions.size() && g.decisions[decided].period < s_.clock.periodIndex())
            return QStringLiteral("order decision %1 is not made in period %2")
                .arg(decided + 1)
                .arg(g.decisions[decided].period);
        if (made.size() == g.trades.size()) {
            if (decided < g.decisions.size() && g.decisions[decided].period == s_.clock.periodIndex())
                return QStringLiteral("order decision %1 is not made after its trades").arg(decided + 1);
            if (decided < g.decisions.size())
                if (const QString why = forward(); !why.isEmpty()) return why;
            continue;
        }
        const qsizetype i = made.size();
        const TradeRecord& t = g.trades[i];
        if (s_.clock.periodIndex() > t.day)
            return QStringLiteral("trade %1 is not made in period %2").arg(i + 1).arg(t.day);
        // A margin call's trades and the working orders' fills come from the
        // Forward press of their period.
        if (s_.clock.periodIndex() < t.day || t.marginCall) {
            if (const QString why = forward(); !why.isEmpty()) return why;
            continue;
        }
        if (t.orderId != 0) // its decision or its press has come and gone without it
            return QStringLiteral("trade %1 is not made by its order in period %2").arg(i + 1).arg(t.day);
        click(QString::fromLatin1(keys::kTrade));
        if (s_.settings.level == Level::Expert) click(keysOf(t.market).button);
        click(sideButton(t.side));
        setText(QStringLiteral("inputUnits"), QString::number(static_cast<qint64>(std::abs(t.amount))));
        keyPress(QStringLiteral("inputUnits"), Key::Enter);
        click(QStringLiteral("btnYes"));
        if (ended_ || made.size() != i + 1 || !followed())
            return QStringLiteral("trade %1 is not one the desk makes in period %2").arg(i + 1).arg(t.day);
    }
    while (s_.clock.periodIndex() < g.periodIndex)
        if (const QString why = forward(); !why.isEmpty()) return why;
    if (s_.clock.periodIndex() != g.periodIndex || made.size() != g.trades.size())
        return QStringLiteral("the game does not stand at period %1 with its trades").arg(g.periodIndex);

    // The order being entered, step by step as the player entered it: its
    // panel shows in the window, texts and all.
    setUnseen(false);
    if (g.orderState != OrderState::ChangePeriod) {
        click(QString::fromLatin1(keys::kTrade));
        // An Expert presses his market (format 2 files do not say so).
        if (g.orderMarket && (s_.settings.level == Level::Expert || g.orderMarketPressed))
            click(keysOf(*g.orderMarket).button);
        if (g.orderSide) click(sideButton(*g.orderSide));
        // Back at Trade with its side: the units were cancelled (or refused).
        if (g.orderState == OrderState::Trade && g.orderSide) setText(QStringLiteral("inputUnits"), QString());
        if (g.orderState == OrderState::CorrOrd) setText(QStringLiteral("inputUnits"), g.orderUnits);
        if (g.orderState == OrderState::CorrOrd || (g.orderState == OrderState::Trade && g.orderSide))
            keyPress(QStringLiteral("inputUnits"), Key::Enter);
    }
    setText(QStringLiteral("inputUnits"), g.typedUnits);
    const PendingOrder& o = s_.desk.pending;
    if (ended_ || s_.desk.state != g.orderState || o.market != g.orderMarket || o.side != g.orderSide)
        return QStringLiteral("its order being entered is not one the desk takes");
    // The journal is the player's writing, not the rules': kept as it was.
    desk_.restoreJournal(g.notes);
    if (g.report == SavedGame::Report::Trades) click(QString::fromLatin1(keys::kTradeHistory));
    if (g.report == SavedGame::Report::News) click(QString::fromLatin1(keys::kNewsHistory));
    if (g.report != SavedGame::Report::None && !model_.visible(controlKey<keys::kTradeGrid>()) &&
        !model_.visible(controlKey<keys::kNewsGrid>()))
        return QStringLiteral("its report cannot be shown");

    // The choices and counters that are not the rules' to make.
    const std::optional<NewsOptions> news = NewsOptions::withCounters(g.annualCounter, g.dailyCounter);
    const std::optional<charts::ChartOptions> chart = charts::ChartOptions::fromChoices(g.chart);
    const std::optional<HintAdvisor> hints = HintAdvisor::heldBackTo(g.nextHintPeriod, kMostGamePeriods);
    const std::optional<BackgroundStory> background = BackgroundStory::lastLookedUp(g.backgroundYear);
    if (!news || !chart || !hints || !background) return QStringLiteral("its options are not ones the menus make");
    // The replay charged this game's commissions; the rest came before it.
    if (g.commissionTotal < s_.desk.commissionTotal) return QStringLiteral("its commission total is below its trades'");
    s_.settings.news = *news;
    charts_.restore(*chart);
    charts_.restoreDrawings(g.drawings);
    news_.restore(hintsAsReplayed ? s_.hints : *hints, *background);
    desk_.carryCommissions(g.commissionTotal);
    return {};
}

void Game::setUnseen(bool unseen) {
    unseen_ = unseen;
    desk_.setUnseen(unseen);
}

void Game::PresentGame() {
    presentSettings(s_.settings, model_);
    charts_.presentChartOptions();
    charts_.RefreshCharts();
    ShowAccountFigures();
    files_.PresentSavedGameItems();
    model_.touch();
}

} // namespace pellucar
