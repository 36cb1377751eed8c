#include "app/game/game.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"

#include <QHash>

namespace pellucar {

Game::Game(PlayerDialogs& dialogs, RandomSource& random, QString databasePath, PastGames* pastGames)
    : Game(dialogs, random, std::move(databasePath), std::make_unique<MarketDatabase>(), nullptr, pastGames) {}

Game::Game(PlayerDialogs& dialogs, RandomSource& random, MarketDatabase& market, PastGames* pastGames)
    : Game(dialogs, random, QString(), nullptr, &market, pastGames) {}

Game::Game(PlayerDialogs& dialogs, RandomSource& random, QString databasePath, std::unique_ptr<MarketDatabase> own,
           MarketDatabase* lent, PastGames* pastGames)
    : dialogs_(
          dialogs,
          [this](const QString& window) {
              // Auto-play stops at every window that wants the player.
              autoPlay_.stop(QStringLiteral("window ") + window);
              charts_.RefreshDeferredCharts();
              PresentControlFlags();
          },
          [this] { PresentControlFlags(); }),
      random_(random), databasePath_(std::move(databasePath)), ownDb_(std::move(own)), db_(lent ? *lent : *ownDb_),
      desk_(s_, s_.desk, model_, dialogs_,
            [this] {
                RevalueAccount();
                if (!unseen_) charts_.RefreshCharts(); // the fill's marker, as it is confirmed
            }),
      files_(s_, model_, dialogs_, pastGames), charts_(s_, s_.chart, s_.drawings, model_),
      news_(s_, s_.news, s_.background, s_.hints, model_, dialogs_, db_), score_(s_, random, dialogs_) {
    applyDesignState(model_);
    files_.PresentSavedGameItems();
    fillActions();
}

template <typename F> void Game::guarded(F&& f) {
    if (ended_) return;
    try {
        f();
        PresentControlFlags();
    } catch (const ProgramEnded& e) {
        ended_ = true;
        exitCode_ = e.exitCode;
    }
}

QString Game::writeNote(int trade, const QString& text) {
    if (!gameOnDesk_ || ended_) return QStringLiteral("no game is on the desk");
    if (pressRunning_) return QStringLiteral("a Forward press is under way");
    QString why;
    guarded([&] { why = desk_.writeNote(trade, text); });
    return why;
}

QString Game::OrderDecisionStep(const std::function<QString()>& step) {
    if (QString why = OrderGate(); !why.isEmpty()) return why;
    QString result;
    guarded([&] {
        result = step();
        // The price chart draws the working orders as they now stand.
        if (result.isEmpty()) charts_.RefreshCharts();
    });
    return result;
}

void Game::PresentControlFlags() {
    DeskFacts f;
    f.gameOnDesk = gameOnDesk_;
    f.periodStarted = s_.clock.periodIndex() > 0;
    f.reportShown = reportShown(model_);
    f.orderStep = s_.desk.state;
    f.tradeCount = s_.desk.tradeCount();
    f.pressRunning = pressRunning_;
    f.windowLocked = windowLocked_;
    f.modalOpen = dialogs_.modalOpen();
    f.autoPlaying = autoPlay_.running();
    f.autoPlaySpeed = autoPlay_.speed();
    f.autoPlayStopsOnFill = autoPlay_.stopsOnFill();
    f.trainer = s_.settings.rules == RuleSet::Trainer;
    f.ordersTaken = OrderGate().isEmpty();
    f.practice = gameOnDesk_ && s_.practice;
    f.practiceMarkable = PracticeMarkable();
    f.rewindable = Rewindable();
    f.drawings = s_.drawings.count(s_.chart.chartMarket());
    presentControlFlags(f, model_);
    files_.PresentSavedGameItems();
}

void Game::EndProgram(int exitCode) {
    dialogs_.quitHelp();
    CloseMarketDatabase();
    throw ProgramEnded{exitCode};
}

void Game::startUp() {
    guarded([&] {
        InitializeDatabaseSettings();
        charts_.PrepareCharts();
        model_["cboCommodity"].items = marketNames();
        charts_.presentChartOptions();
        model_.setText("GameName", QStringLiteral("Pellucar"));
        model_.setText(controlKey<keys::kWindow>(), QStringLiteral("Dunmere"));
        SetLevel(Level::Expert);
        SetInitialWindowState();
        s_.levelSelected = false;
        dialogs_.about();
        if (!OpenMarketDatabase()) return;
        const QString disclaimer = db_.overviewNews(QDate(1965, 10, 17), 0);
        if (db_.failed()) {
            // A file that opens but cannot be read is as unusable as one
            // that does not open.
            NotifyPlayer(QStringLiteral("Pellucar"), db_.lastError(), 0);
            EndProgram(1);
        }
        if (!dialogs_.disclaimer(disclaimer)) {
            dialogs_.processEvents();
            EndProgram(0);
        }
    });
}

void Game::SetInitialWindowState() {
    // Between games the desk shows only the clock, the account and Game >
    // Start: no quotes, no trade buttons, no order panel.
    for (const char* k : {"btnBuy", "btnSell", "btnHold", "btnYes", "btnNo", "inputUnits", "promptUnits", "promptPrice",
                          "inputPrice", "lblorderverify", "btnCloseNewsHist", "LabelNH", "btnCloseTradeHistory",
                          "LabelTH", keys::kNewsGrid, keys::kTradeGrid, "shapeTradeCentral"})
        model_.setVisible(k, false);
    model_.setText("inputUnits", QString());
    setMarketButtonsVisible(model_, false);
    setQuotesVisible(model_, false);
    setMarketLabelsVisible(model_, false);
    model_.setText(keys::kWeekday, QString());
    model_.setText(keys::kTime, QString());
    model_.setText(keys::kDate, QString());
    model_.setText("lblMaxSelected", QString());
    ShowAccountFigures();
}

void Game::InitializeDatabaseSettings() {
    charts_.chartOil();
    s_.clock.startUp();
    s_.market.clearPeriod();
}

bool Game::OpenMarketDatabase() {
    if (db_.isOpen() || (ownDb_ && db_.open(databasePath_))) return true;
    const QString error = db_.lastError();
    NotifyPlayer(QStringLiteral("Pellucar"), error, 0);
    EndProgram(1);
}

void Game::CloseMarketDatabase() {
    if (ownDb_ && db_.isOpen()) db_.close();
}

void Game::SetLevel(Level level) {
    const bool novice = level == Level::Novice;
    s_.settings.level = novice ? Level::Novice : Level::Expert;
    desk_.resetAccount(level);
    presentSettings(s_.settings, model_);
    if (novice) s_.clock.setLength(90);
    model_.setText("LabelPosition",
                   novice ? QStringLiteral("Current Position:") : QStringLiteral("Current Positions:"));
    ShowAccountFigures();
}

void Game::NotifyPlayer(const QString& title, const QString& message, int number) {
    dialogs_.notify(title, message, number);
}

void Game::ResetGame() {
    s_.clock.reset();
    desk_.newGame(s_.settings.level);
    news_.newGame();
    s_.marginCallPending = false;
    model_.setText(keys::kWeekday, QStringLiteral("Monday"));
    model_.setText(keys::kTime,
                   s_.clock.dataMode() == DataMode::Tick ? QStringLiteral("8:00 am") : QStringLiteral("4:00 pm"));
    model_.setText(keys::kDayCaption, QStringLiteral("Day %1:").arg(s_.clock.periodIndex()));
    // The date and a report left open belong to the game that is gone.
    model_.setText(keys::kDate, QString());
    closeReports(model_);
    ShowAccountFigures();
    layoutCharts(model_);
}

void Game::ResetGameFromEndWindow() {
    model_.setText(keys::kNewGame, QStringLiteral("Start"));
    ResetGame();
    for (Market m : kTradingOrder) model_.setText(keysOf(m).quote, QStringLiteral("*** Market Closed ***"));
}

namespace {
// Controls whose index is what they act on rather than an item of theirs:
// the combo box's entry, the trade a note is written on.
bool indexIsArgument(const QString& name) {
    return name == QLatin1String("cboCommodity") || name == QLatin1String("mnuTradeNote");
}
} // namespace

bool Game::isKnownControl(const QString& name, int index) const {
    if (name == QLatin1String("cboCommodity")) return true;
    const QString key = index < 0 || indexIsArgument(name) ? name : itemKey(name, index);
    return findControl(key) != nullptr;
}

bool Game::isActionable(const QString& key) const {
    if (!model_.at(controlKey<keys::kWindow>()).enabled) return false;
    for (const ControlSpec* ctl = findControl(key); ctl; ctl = findControl(ctl->parent)) {
        const ControlState& st = model_.at(ctl->key);
        if (!st.enabled || !st.visible) return false;
        if (ctl->parent.isEmpty()) break;
    }
    return true;
}

bool Game::click(const QString& name, int index) {
    if (!isKnownControl(name, index)) return false;
    const QString key = (index < 0 || indexIsArgument(name)) ? name : itemKey(name, index);
    if (!isActionable(key)) return true;
    const auto action = actions_.constFind(name);
    guarded([&] {
        StopAutoPlayFor(key);
        if (action != actions_.constEnd()) (*action)(index);
    });
    return true;
}

void Game::moveChartView(charts::ViewMove move, int amount) {
    if (!isActionable(QStringLiteral("mnuChartViewMenu"))) return;
    guarded([&] { charts_.moveView(move, amount); });
}

QString Game::drawOnChart(const charts::Drawing& line) {
    if (!isActionable(QStringLiteral("mnuChartViewMenu"))) return QStringLiteral("The chart takes no lines now.");
    QString why;
    guarded([&] { why = charts_.draw(line); });
    return why;
}

void Game::cancelDrawing() {
    guarded([&] { charts_.setDrawMode(charts::DrawMode::None); });
}

bool Game::removeDrawing(int index) {
    if (!isActionable(QStringLiteral("mnuChartViewMenu"))) return false;
    bool removed = false;
    guarded([&] { removed = charts_.removeDrawing(index); });
    return removed;
}

void Game::fillActions() {
    ActionTable& a = actions_;
    a.insert(QString::fromLatin1(keys::kForward), [this](int) { btnChangePeriod_Click(); });
    a.insert(QString::fromLatin1(keys::kNewGame), [this](int) { mnuNewGame_Click(); });
    a.insert(QStringLiteral("mnuEnd"), [this](int) { mnuEnd_Click(); });
    a.insert(QStringLiteral("mnuResume"), [this](int) { mnuResume_Click(); });
    a.insert(QStringLiteral("mnuLevel"), [this](int i) { mnuLevel_Click(i); });
    a.insert(QStringLiteral("mnuDat"), [this](int i) { mnuDat_Click(i); });
    a.insert(QStringLiteral("mnuGameLength"), [this](int i) { mnuGameLength_Click(i); });
    a.insert(QStringLiteral("mnuNews"), [this](int i) { mnuNews_Click(i); });
    // Saved games, the record of past games and the commission statement.
    a.insert(QStringLiteral("mnuSave"), [this](int) { files_.mnuSave_Click(); });
    a.insert(QStringLiteral("mnuPastGames"), [this](int) { files_.mnuPastGames_Click(); });
    a.insert(QStringLiteral("mnuScenarios"), [this](int) { mnuScenarios_Click(); });
    a.insert(QStringLiteral("mnuPractice"), [this](int) { mnuPractice_Click(); });
    a.insert(QStringLiteral("mnuRewind"), [this](int) { mnuRewind_Click(); });
    a.insert(QStringLiteral("mnuTradeNote"), [this](int trade) { desk_.mnuTradeNote_Click(trade); });
    a.insert(QStringLiteral("mnuCommission"), [this](int) { score_.mnuCommission_Click(); });
    a.insert(QStringLiteral("mnuMaximum"), [this](int i) { mnuMaximum_Click(i); });
    // Help-menu items that only open a help topic or an information window.
    const std::pair<const char*, int> topics[] = {{"mnuInstructions", 0},
                                                  {"mnuDisclaimer", 1006},
                                                  {"mnuEconomicCalendar", 1007},
                                                  {"mnuDunmereTopic", 1009},
                                                  {"mnuHowto", 1012}};
    for (const auto& [name, topic] : topics)
        a.insert(QString::fromLatin1(name), [this, t = topic](int) { dialogs_.help(t); });
    a.insert(QStringLiteral("mnuDefinitions"), [this](int i) {
        if (i == 0 || i == 1) dialogs_.help(1003 + i);
    });
    a.insert(QStringLiteral("mnuPrint"), [this](int) {
        if (!dialogs_.printMainWindow()) dialogs_.messageBox(QStringLiteral("The form could not be printed."));
    });
    a.insert(QStringLiteral("mnuAbout"), [this](int) { dialogs_.about(); });
    a.insert(QStringLiteral("mnuCustom"), [this](int) { dialogs_.customProgramming(); });
    a.insert(QStringLiteral("mnuScreenColor"), [this](int) { dialogs_.screenColor(); });
    addAutoPlayActions(a);
    // The order windows are the view's own; their items only stop auto-play,
    // as every menu item does (StopAutoPlayFor).
    a.insert(QLatin1String(keys::kOrderTicket), [](int) {});
    a.insert(QLatin1String(keys::kWorkingOrders), [](int) {});
    desk_.addActions(a);
    charts_.addActions(a);
    news_.addActions(a);
}

void Game::setText(const QString& key, const QString& text) {
    if (ended_) return;
    ControlSpec const* ctl = findControl(key);
    if (ctl && ctl->kind == ControlKind::TextBox) model_.setText(key, text);
}

void Game::keyPress(const QString& key, Key k) {
    if (k == Key::Escape) {
        // Only while the desk itself takes the player's input.
        if (!ended_ && model_.at(controlKey<keys::kWindow>()).enabled) guarded([&] { desk_.cancelOrder(); });
        return;
    }
    // Tab and Enter both take the units typed.
    if (key != QLatin1String("inputUnits") || !isActionable(key)) return;
    guarded([&] { desk_.InputUnits_KeyDown(); });
}

void Game::closeMainWindow() {
    // The close box ends the program through the Game > End window, so a
    // running game gets its summary and the player can still continue.
    guarded([&] { mnuEnd_Click(); });
}

void Game::activate() {
    if (ended_) return;
    for (const ControlSpec& control : mainWindowControls())
        if (!control.activeTooltip.isEmpty() && model_.at(control.key).tooltip != control.activeTooltip)
            model_.setTooltip(control.key, control.activeTooltip);
}

void Game::paint() {
    if (ended_) return;
    layoutCharts(model_);
}

} // namespace pellucar
