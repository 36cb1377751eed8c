// Game > Save and Game > Resume: a game in progress kept in one file in the
// save folder and brought back as it stood, down to the order being entered.
#include "app/game.h"
#include "app/saved_game.h"

#include <memory>

namespace pellucar {

namespace {

const QString kSavedGameTitle = QStringLiteral("Saved Game");

} // namespace

void Game::setSaveFolder(const QString& folder) {
    saveFolder_ = folder;
    PresentSavedGameItems();
}

void Game::PresentSavedGameItems() {
    // Only a game past its first Forward press has anything to keep; a
    // saved game can be resumed whenever the window takes a choice.
    const bool folder = !saveFolder_.isEmpty();
    const bool save = folder && s_.gameStarted;
    if (model_.enabled("mnuSave") != save) model_.setEnabled("mnuSave", save);
    if (model_.enabled("mnuResume") != folder) model_.setEnabled("mnuResume", folder);
}

void Game::mnuSave_Click() {
    if (saveFolder_.isEmpty() || !s_.gameStarted) return;
    const QString error = writeSavedGameFile(saveFolder_, encodeSavedGame(s_, model_));
    if (!error.isEmpty()) {
        NotifyPlayer(kSavedGameTitle, QStringLiteral("The game could not be saved: ") + error);
        return;
    }
    NotifyPlayer(kSavedGameTitle, QStringLiteral("The game has been saved."));
}

void Game::mnuResume_Click() {
    if (saveFolder_.isEmpty()) return;
    QByteArray bytes;
    QString error;
    SavedGameProblem problem = readSavedGameFile(saveFolder_, &bytes, &error);
    if (problem == SavedGameProblem::Missing) {
        NotifyPlayer(kSavedGameTitle, QStringLiteral("There is no saved game to resume."));
        return;
    }
    // Read whole into a game of its own first: a file refused halfway leaves
    // the game being played exactly as it was.
    auto saved = std::make_unique<SavedGame>();
    if (problem == SavedGameProblem::None) problem = decodeSavedGame(bytes, *saved);
    if (problem != SavedGameProblem::None) {
        const QString why = problem == SavedGameProblem::Unreadable ? error + QLatin1Char('.') : savedGameProblemText(problem);
        NotifyPlayer(kSavedGameTitle, QStringLiteral("The saved game could not be read: ") + why);
        return;
    }
    if (s_.gameStarted &&
        !dialogs_.confirm(QStringLiteral("Resume Saved Game"),
                          QStringLiteral("Resume the saved game?  The game in progress will be lost."))) {
        return;
    }

    // The database belongs to this run of the program, not to the game.
    GameState& state = *saved->state;
    state.databasePath = s_.databasePath;
    state.databaseOpen = s_.databaseOpen;
    s_ = std::move(state);
    for (auto it = saved->controls.cbegin(); it != saved->controls.cend(); ++it)
        if (model_.has(it.key())) model_[it.key()] = it.value();
    // A game saved in progress was not yet in the record of past games; it
    // goes in when it finishes, like any other.
    gameRecorded_ = false;
    // What was worked out from the last game's period goes with it.
    chartSeries_ = {};
    deferChartRefresh_ = false;
    verdict_.clear();
    model_.touch();
}

} // namespace pellucar
