#pragma once
#include "app/record/debrief.h"
#include "app/record/past_games.h"
#include "app/record/scenarios.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace pellucar {

class TimePeriodForm;

// Settings shown by the "Level Detail" window.
struct LevelSummary {
    QString level;      // "Novice" / "Expert"
    QString gameLength; // "One Month" / "One Quarter" / "One Year"
    QString news;       // "Annual Summary" / "Daily Reports" / "Annual Reports"
    QString data;       // "Daily" / "Tick"
};

// The figures of the Game Over and end-of-game windows, already as texts.
struct GameSummary {
    QString caption;
    QString verdict;  // message or verdict line
    QString realized; // "$1,234.50"
    QString unrealized;
    QString finalScore;
    QString commissions; // empty in the Game Over window
    bool finesVisible = false;
    bool restartEnabled = true; // end-of-game window only
    // What the game's review reads, for the window's Review button.
    std::optional<ReviewRecord> review;
};

struct CommissionStatement {
    QString explanation;
    QString before; // "$..."
    QString commissions;
    QString after;
};

// What the Past Games window lists: every recorded game, the best score of
// each level, or why the record could not be read.
struct PastGamesReport {
    std::vector<PastGame> games;
    std::vector<BestScore> best;
    QString problem;
    // What the review of a listed game reads; nothing, with the reason in
    // `why`, when it has none or it cannot be read.
    std::function<std::optional<ReviewRecord>(qint64 id, QString* why)> review;
};

// What Game > Scenarios lists.
struct ScenariosReport {
    std::vector<ScenarioChoice> choices;
    QString problem; // why the best scores could not be read
};

enum class GameOverChoice { PlayAgain, End };
enum class EndOfGameChoice { Continue, PlayAgain, End };

// Every modal step of the game goes through here, exactly where the rules
// show a window; the call returns when the player has closed it. The desktop
// build shows real windows, the headless driver and the tests answer from a
// script and write a transcript.
class PlayerDialogs {
public:
    virtual ~PlayerDialogs() = default;

    // Trader Notification (frmPlayerNotification).
    virtual void notify(const QString& title, const QString& message, int number) = 0;
    // A plain message box with OK.
    virtual void messageBox(const QString& message) = 0;
    // About window (frmAboutKestrow) and custom-programming window (frmCustom).
    virtual void about() = 0;
    virtual void customProgramming() = 0;
    // Disclaimer (frmDisclaimer): true for Agree, false for Disagree.
    virtual bool disclaimer(const QString& text) = 0;
    // Setup window (frmTimePeriod): the window edits the form through its
    // handlers; true when the player pressed Begin, false for Cancel.
    virtual bool timePeriod(TimePeriodForm& form) = 0;
    // Level Detail (frmLevelSelected): true for Begin, false for Reset.
    virtual bool levelSelected(const LevelSummary& summary) = 0;
    // Chart-market window (frmCommoditySelect): returns the chosen commodity
    // id 1..6 (the current one when the player just closes it).
    virtual int commoditySelect(int currentId) = 0;
    // News window (frmNewsDisplay). heightTwips is 1400, 2500 or 5000;
    // scrolling says whether the text box (true) or the label shows the story.
    virtual void news(const QString& caption, const QString& story, int heightTwips, bool scrolling) = 0;
    // A question the player answers Yes or No (frmConfirm): true for Yes.
    virtual bool confirm(const QString& title, const QString& message) = 0;
    // Trade confirmation (frmTradeConfirmation).
    virtual void tradeConfirmation(const QString& message) = 0;
    // The journal's note on one trade (frmTradeNote): `trade` says which,
    // `note` is the note it has. The note written, none for Cancel.
    virtual std::optional<QString> tradeNote(const QString& trade, const QString& note) = 0;
    // Game Over (frmGameOver) and end-of-game (frmEndofGame) windows.
    virtual GameOverChoice gameOver(const GameSummary& summary) = 0;
    virtual EndOfGameChoice endOfGame(const GameSummary& summary) = 0;
    // Commission statement (frmCommiss).
    virtual void commissions(const CommissionStatement& statement) = 0;
    // The record of finished games (frmPastGames); OK closes it.
    virtual void pastGames(const PastGamesReport& report) = 0;
    // Game > Scenarios: the name of the scenario chosen, none for Cancel.
    virtual std::optional<QString> scenarios(const ScenariosReport& report) = 0;
    // Game > Rewind... (frmRewind): the period to go back to, 1 up to
    // `last`; none for Cancel.
    virtual std::optional<int> rewindPeriod(int last) = 0;
    // A scenario's debrief (frmDebrief), after the window that ends it.
    virtual void scenarioDebrief(const ScenarioDebrief& debrief) = 0;
    // Screen colour window (frmScreenColor): the view applies the scheme.
    virtual void screenColor() = 0;
    // Help viewer: a topic by context number, or the contents for 0.
    virtual void help(int contextId) = 0;
    virtual void quitHelp() = 0;
    // Prints the main window as shown; false when printing failed.
    virtual bool printMainWindow() = 0;
    // "Initializing Data:  please wait" while a tick period loads.
    virtual void loading(bool shown) = 0;
    // How far the read under the loading window has come, `done` of `total`
    // steps, told now and then while it runs. A window shows it and lets
    // itself repaint (no player input is taken meanwhile); the rest need not
    // do anything.
    virtual void loadingProgress(int /*done*/, int /*total*/) {}
    // Hourglass pointer.
    virtual void busy(bool on) = 0;
    // Lets pending window events run.
    virtual void processEvents() = 0;
    // Whether processEvents paints anything: the window brought up to date
    // for it only when a window is there to show it.
    virtual bool paintsOnEvents() const { return true; }
};

} // namespace pellucar
