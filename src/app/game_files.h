#pragma once
#include "app/game_state.h"
#include "app/past_games.h"
#include "app/player_dialogs.h"
#include "app/presentation.h"

#include <QString>

namespace pellucar {

// The game's files: Game > Save and Game > Resume keep a game in progress
// in one file in the save folder; every finished game goes once into the
// record of past games, which Game > Past Games shows.
class GameFiles {
public:
    // `pastGames` is the desktop game's record; none for the driver.
    GameFiles(GameState& state, PresentationModel& model, PlayerDialogs& dialogs, PastGames* pastGames);

    // Until a folder is given Save and Resume stay disabled, so a game that
    // nobody pointed at a folder never touches the player's files.
    void setSaveFolder(const QString& folder);
    // Save needs a game under way; both need a save folder.
    void PresentSavedGameItems();
    void mnuSave_Click();
    // True when the saved game has replaced the one being played (the state
    // and the controls it kept); anything worked out from the old game's
    // period is then the caller's to drop.
    bool mnuResume_Click();

    // A new game is set up: it is not in the record yet.
    void newGame() { gameRecorded_ = false; }
    // Adds the game that has just finished to the record, once per game; a
    // record that cannot be written is told to the player the first time,
    // and play goes on.
    void RecordGame(GameEnding ending, const QString& verdict);
    void mnuPastGames_Click();

private:
    GameState& s_;
    PresentationModel& model_;
    PlayerDialogs& dialogs_;
    QString saveFolder_;
    PastGames* pastGames_ = nullptr;
    // Whether the game set up last is in the record already.
    bool gameRecorded_ = false;
    bool pastGamesWarned_ = false;
};

} // namespace pellucar
