#pragma once
#include "app/dialogs/player_dialogs.h"
#include "app/record/past_games.h"
#include "app/record/saved_game.h"
#include "app/state/game_state.h"
#include "app/view/presentation_model.h"

#include <QString>

#include <optional>

namespace pellucar {

// What Help > Past Games shows of `store`: the games that read, the best of
// each level, why the list is short (a record that cannot be read, or rows
// skipped), and each game's review as the window asks for it (the report
// keeps `store`).
PastGamesReport pastGamesReport(PastGames& store);

// The game's files: Game > Save and Game > Resume keep a game in progress
// in one file in the save folder; every finished game goes once into the
// record of past games, which Game > Past Games shows.
class FileDesk {
public:
    // `pastGames` is the desktop game's record; none for the driver.
    FileDesk(const GameState& state, PresentationModel& model, PlayerDialogs& dialogs, PastGames* pastGames);

    // Until a folder is given Save and Resume stay disabled, so a game that
    // nobody pointed at a folder never touches the player's files.
    void setSaveFolder(const QString& folder);
    // Save needs a game under way; both need a save folder.
    void PresentSavedGameItems();
    void mnuSave_Click();
    // Game > Resume in three steps, with the rules' replay of the saved
    // game (the game's) between the first two. Reads and checks the save
    // file into `out`; false, the player told why, when it holds nothing
    // to resume.
    bool readSavedGame(SavedGame& out);
    // The rules did not give the saved game back: the player is told why.
    void refuseSavedGame(const QString& why);
    // Asks first when a game is under way; true to go on.
    bool confirmResume();
    // The saved game has replaced the one in play: it goes into the record
    // of past games when it finishes, like any other, under the scenario it
    // started from.
    void resumed(const QString& scenario) {
        gameRecorded_ = false;
        scenario_ = scenario;
    }

    // A new game is set up: it is not in the record yet.
    void newGame() { gameRecorded_ = false; }
    // Adds the game that has just finished to the record, once per game; a
    // record that cannot be written is told to the player the first time,
    // and play goes on.
    void RecordGame(GameEnding ending, const QString& verdict);
    void mnuPastGames_Click();
    // The scenarios with the best recorded game of each.
    ScenariosReport scenariosReport();
    // What the review of the game that ended last reads (kept whether or
    // not there is a record of past games); none before a game has ended.
    const std::optional<ReviewRecord>& lastReview() const { return lastReview_; }
    // The scenario the next game starts from; empty for an ordinary game.
    void setScenario(const QString& name) { scenario_ = name; }
    const QString& scenario() const { return scenario_; }

private:
    const GameState& s_;
    PresentationModel& model_;
    PlayerDialogs& dialogs_;
    QString saveFolder_;
    PastGames* pastGames_ = nullptr;
    // Whether the game set up last is in the record already.
    bool gameRecorded_ = false;
    bool pastGamesWarned_ = false;
    std::optional<ReviewRecord> lastReview_;
    QString scenario_;
};

} // namespace pellucar
