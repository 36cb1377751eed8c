#pragma once
#include "app/desk/chart_desk.h"
#include "app/desk/file_desk.h"
#include "app/desk/news_desk.h"
#include "app/desk/order_desk.h"
#include "app/desk/scorecard.h"
#include "app/dialogs/desk_dialogs.h"
#include "app/dialogs/player_dialogs.h"
#include "app/state/auto_play.h"
#include "app/state/clock.h"
#include "app/state/game_state.h"
#include "app/view/desk_presenter.h"
#include "app/view/presentation_model.h"
#include "app/view/quote_presenter.h"
#include "common/random.h"
#include "market/database.h"

#include <QString>
#include <functional>
#include <memory>

namespace pellucar {

// Thrown by EndProgram to unwind the rules back to the entry point that the
// window (or driver) called; never escapes the public methods below.
struct ProgramEnded {
    int exitCode = 0;
};

enum class Key { Enter, Tab, Escape };

class ScriptedDialogs;
struct SavedGame;

// What Game > Practice Game and Game > Rewind... tell the player.
inline constexpr char kRewindTitle[] = "Rewind";
inline constexpr char kPracticeNotice[] = "This game is played for practice: it will not count among the best "
                                          "scores, and Game > Rewind... can take it back to an earlier period.";

// The game: the main window's rules without the widgets. The view calls the
// public entry points for the player's actions and renders model().
class Game {
public:
    // Finished games go to `pastGames` when there is one (the desktop
    // game's record in the player's data folder; none for the driver).
    Game(PlayerDialogs& dialogs, RandomSource& random, QString databasePath, PastGames* pastGames = nullptr);
    // Plays on `market`, a database open before the game starts up and kept
    // open by its owner for the game's life; the game reads it and never
    // closes it. Games made one after another can share one connection.
    Game(PlayerDialogs& dialogs, RandomSource& random, MarketDatabase& market, PastGames* pastGames = nullptr);
    // The controllers hold this game's state and model by reference.
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Start-up, up to the main window waiting for the first game (the About
    // window, the database and the disclaimer on the way).
    void startUp();
    // A press of a button or menu item, or the choice of entry `index` of a
    // combo box. `name` is the object name without its array index. Returns
    // false when no such control exists; a hidden or disabled control (or one
    // inside a disabled menu) ignores the press and returns true.
    bool click(const QString& name, int index = -1);
    // The player moves the rows the charts show (the chart's wheel, drag and
    // keys, the driver's `view`): as the Chart View menu's items do, and
    // only while that menu could be used.
    void moveChartView(charts::ViewMove move, int amount);
    // Lines over the price chart (the chart's mouse and keys, the driver's
    // `draw`), taken while the Chart View menu could be used: a line on the
    // charted market (empty when drawn, else why not), the end of a draw
    // mode (Escape), and drawing `index` removed (-1 the last).
    QString drawOnChart(const charts::Drawing& line);
    void cancelDrawing();
    bool removeDrawing(int index);
    bool isKnownControl(const QString& name, int index = -1) const;
    bool isActionable(const QString& key) const;
    // Typing into a text box (`inputUnits`).
    void setText(const QString& key, const QString& text);
    // Tab or Enter in a text box; Escape anywhere on the desk backs out of
    // the order being entered.
    void keyPress(const QString& key, Key k);
    // The close box of the main window.
    void closeMainWindow();
    // The window was activated / repainted.
    void activate();
    void paint();

    // Auto-play: while it runs, each call presses Forward once for the
    // player; it stops itself where the player is wanted (a modal window,
    // Trade, a report, a menu, the game's end) and says why.
    void autoPlayStep();
    const AutoPlay& autoPlay() const { return autoPlay_; }

    bool ended() const { return ended_; }
    // A game has been set up (Begin, Resume) and has not finished yet.
    bool gameOnDesk() const { return gameOnDesk_; }
    int exitCode() const { return exitCode_; }
    const PresentationModel& model() const { return model_; }
    // What the two charts show, as of the last redraw.
    const charts::ChartPair& charts() const { return charts_.drawn(); }
    // The six markets at a glance, over the same rows as the price chart.
    const QList<charts::MarketGlance>& marketStrip() const { return charts_.strip(); }
    const GameState& state() const { return s_; }

    // Where Game > Save writes and Game > Resume reads the saved game. Until
    // a folder is given the two items stay disabled, so a game that nobody
    // pointed at a folder never touches the player's files.
    void setSaveFolder(const QString& folder) { files_.setSaveFolder(folder); }
    // Sets up the named scenario's game as Game > Scenarios does; false
    // for an unknown name or a game under way.
    bool startScenario(const QString& name);
    // What the review of the game that ended last reads.
    const std::optional<ReviewRecord>& lastReview() const { return files_.lastReview(); }

    // Trainer rules: the working orders, what the last press did to them, and
    // the player's ways to enter, change and cancel them. Orders are taken
    // between presses of a Trainer game from its first period on; each call
    // returns an empty text when done, else why not (a refusal by the rules
    // is told to the player as well).
    const WorkingOrders& workingOrders() const { return s_.desk.orders; }
    const std::vector<OrderEvent>& lastOrderEvents() const { return s_.desk.lastOrderEvents; }
    QString placeOrder(const OrderRequest& request, int* id = nullptr);
    QString changeOrderPrice(int id, double price);
    QString changeOrderUnits(int id, int units);
    QString cancelWorkingOrder(int id);
    // Why no order is taken now (empty when orders are taken).
    QString orderGate() const { return OrderGate(); }

    // Takes the game on the desk back to `period`, as it stood when it first
    // got there, by replaying its decisions up to it; the game is practice
    // from then on. Empty when done, else why not (told to the player too).
    QString rewindTo(int period);

    // The journal: the note on trade `trade` of the game on the desk (an
    // empty text removes it), as Game > Trade Note writes it. Empty when
    // written, else why not.
    QString writeNote(int trade, const QString& text);

    // How wide a text is in a label's font, in twips; the view installs a
    // real measure, the default estimates from the character count.
    void setTextWidthMeasure(std::function<int(const QString& key, const QString& text)> measure) {
        measure_ = std::move(measure);
    }

private:
    // One of `own` (opened from the path) and `lent`.
    Game(PlayerDialogs& dialogs, RandomSource& random, QString databasePath, std::unique_ptr<MarketDatabase> own,
         MarketDatabase* lent, PastGames* pastGames);
    template <typename F> void guarded(F&& f);
    // Enters every control's action in the table `click` looks up.
    void fillActions();
    // Derives every control's enabled flag from the facts of the game.
    void PresentControlFlags();
    [[noreturn]] void EndProgram(int exitCode = 0);
    // A player's press that wants the player's attention stops auto-play.
    void StopAutoPlayFor(const QString& key);
    void addAutoPlayActions(ActionTable& a);

    // Start-up and state (game/startup_steps.cpp).
    void InitializeDatabaseSettings();
    bool OpenMarketDatabase();
    void CloseMarketDatabase();
    void SetLevel(Level level);
    void ResetGame();
    void ResetGameFromEndWindow();
    void NotifyPlayer(const QString& title, const QString& message, int number = 0);
    void SetInitialWindowState();

    // Market data (game/market_steps.cpp).
    // Reads the game's period; false (the player told, the game's data as
    // they were) when the database cannot be read.
    bool LoadGamePeriod();
    // The period's prices into the price history, then onto the desk.
    void StorePeriodPrices();
    void ShowCurrentMarket();
    void ShowLastPrices();

    // The Forward press (game/forward_press.cpp).
    void btnChangePeriod_Click();
    void AdvancePeriod();
    // The steps of a press: the calendar moves (the date waits for the
    // period), the end of the game, the banner, the liquidation (false when
    // the press stops there), the period's prices cleared.
    void MoveCalendar();
    void EndGameFromPress();
    void RestoreMarketBanner();
    bool LiquidateForPress();
    void StartPeriodPrices();
    void UpdateTradeDayandGraphs();
    QDate ShowGameDate();
    void SetTradeTimeLabel(int n);
    void ShowDayCaption();

    // New-game setup (game/setup_steps.cpp).
    void mnuNewGame_Click();
    // Sets up and loads the game form_ describes, from the scenario's first
    // day when one is given; false when there is nothing to play.
    bool BeginGame(const Scenario* scenario);
    // The scenario's game set up as Game > Scenarios sets it, with `news`
    // as the setup's news choice, under `rules`; false when its period has
    // no data.
    bool BeginScenario(const Scenario& scenario, NewsOption news, RuleSet rules);
    void cmdBegin(const TimePeriodForm& form, const QDate& scenarioStart = {});
    void mnuScenarios_Click();
    // After the window that ends a scenario's game: what came next in its
    // market, the benchmark, the best exits in hindsight and the brief's
    // sources.
    void ShowScenarioDebrief();
    void LevelDetailChecker(const TimePeriodForm& form);
    void mnuLevel_Click(int index);
    void mnuDat_Click(int index);
    void mnuGameLength_Click(int index);
    void mnuNews_Click(int index);
    void mnuMaximum_Click(int index);

    // End of game (game/end_steps.cpp).
    void GameOver();
    void mnuEnd_Click();
    void PlayAgain(bool fromEndWindow);

    // Account valuation and margin calls (game/trading_steps.cpp): the steps of
    // the account's rules in their order, and the account figures.
    void RevalueAccount();
    void CalcAccountValue();
    void BlowOut();
    void ShowAccountFigures();
    void MarginCallCheck();
    void ForceLiquidation();
    bool MandatoryTrade(int step);

    // Trainer rules (game/order_steps.cpp): why the desk takes no order now
    // (empty when it does), one entry point of the player's, and the working
    // orders filled against the period's prices in a press.
    QString OrderGate() const;
    QString OrderDecisionStep(const std::function<QString()>& step);
    void FillWorkingOrders();

    // Game > Resume (game/resume_steps.cpp): the saved game replayed on a game of
    // its own; this one takes its state only when the replay gives the game
    // the file holds, then draws the window from it.
    void mnuResume_Click();
    // Plays `saved` through the rules on this fresh game, whose windows
    // `dialogs` answers; empty when every decision went as the file says,
    // else why not. With `hintsAsReplayed` the hints are held back as the
    // replay left them (a rewind's), not as the file says.
    QString ReplaySavedGame(const SavedGame& saved, ScriptedDialogs& dialogs, bool hintsAsReplayed = false);
    // This game takes the state and controls of `replay`, a game that
    // replayed a saved game of `scenario` (empty for a set-up game).
    void AdoptReplay(Game& replay, const QString& scenario);

    // Practice (game/rewind_steps.cpp): Game > Practice Game marks the game
    // on the desk as practice before its first decision; Game > Rewind...
    // takes a game that is not scored as Classic back to an earlier period,
    // replaying its decisions up to it as Resume does.
    void mnuPractice_Click();
    void mnuRewind_Click();
    // Whether the game on the desk is one the player may rewind, and one he
    // may still mark as practice.
    bool Rewindable() const;
    bool PracticeMarkable() const;
    // Every presenter, from the state: the window as a projection of it.
    void PresentGame();
    // Whether this game's window is out of sight, the order desk's with it.
    void setUnseen(bool unseen);

    // Brings the window up to date before every modal window.
    DeskDialogs dialogs_;
    RandomSource& random_;
    // The market database of this run of the program, not of the game: the
    // game's own, opened from the path, or one lent to it.
    QString databasePath_;
    std::unique_ptr<MarketDatabase> ownDb_;
    MarketDatabase& db_;
    GameState s_;
    PresentationModel model_;
    TimePeriodForm form_;
    OrderDesk desk_;
    FileDesk files_;
    ChartDesk charts_;
    NewsDesk news_;
    Scorecard score_;
    TextMeasure measure_;
    // Presentation only: what the quote column and the account figures
    // last showed.
    QuoteTexts quoteTexts_;
    AccountTexts accountTexts_;
    ActionTable actions_;
    AutoPlay autoPlay_;
    // The facts the controls' flags follow (PresentControlFlags): a game
    // on the desk, set up (Begin or Resume) and not finished; a Forward
    // press under way, and the part of it that locks the window.
    bool gameOnDesk_ = false;
    bool pressRunning_ = false;
    bool windowLocked_ = false;
    bool ended_ = false;
    int exitCode_ = 0;
    // A replay of a saved game, whose window nobody sees: the figures and
    // texts the rules never read back are not written into its model, nor
    // the charts drawn at each fill, since the game that takes its state
    // presents them all afresh (setUnseen).
    bool unseen_ = false;
};

} // namespace pellucar
