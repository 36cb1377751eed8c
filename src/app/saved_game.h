#pragma once
// A game in progress kept in a file and brought back exactly: the whole game
// state and the main window as it stood.
//
// The file is an envelope around a QDataStream payload:
//   8 bytes   magic "PLCRSAVE"
//   quint32   format version (kSavedGameFormat)
//   quint32   payload length
//   payload
//   32 bytes  SHA-256 of everything before it
// Magic and version come first and keep their places in every version, so a
// later build can still tell its own files, older ones and foreign ones apart.
//
// The period's prices travel in the file with the rest of the state: they are
// a few hundred kilobytes at most, and the game resumes on exactly the prices
// it was saved with even when the market database has been rebuilt since.
#include "app/presentation.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

namespace pellucar {

struct GameState;

inline constexpr char kSavedGameFileName[] = "saved-game.pellucar";
inline constexpr quint32 kSavedGameFormat = 2;

// The desktop game's save folder: the user's data folder for the program.
QString defaultSaveFolder();

// Everything a saved game brings back.
struct SavedGame {
    SavedGame();
    ~SavedGame();
    std::unique_ptr<GameState> state; // databasePath and databaseOpen are left empty
    QHash<QString, ControlState> controls; // the presentation model by key
};

// Why a saved game was not brought back.
enum class SavedGameProblem { None, Missing, Unreadable, Foreign, Newer, Damaged };

QByteArray encodeSavedGame(const GameState& state, const PresentationModel& model);
// Fills `out` and returns None, or returns why the bytes are no saved game
// of ours (`out` is then unspecified).
SavedGameProblem decodeSavedGame(const QByteArray& bytes, SavedGame& out);

// The save file in `folder`.
QString savedGamePath(const QString& folder);
// Writes `bytes` as the save file of `folder` (made when missing) in one
// step: the file is either the new save or the old one, never a mix. Returns
// an empty text, or why the write failed.
QString writeSavedGameFile(const QString& folder, const QByteArray& bytes);
// Reads the save file of `folder`: None, Missing or Unreadable.
SavedGameProblem readSavedGameFile(const QString& folder, QByteArray* bytes, QString* error);

// What the player is told about a problem, after "The saved game could not
// be read: ".
QString savedGameProblemText(SavedGameProblem problem);

} // namespace pellucar
