#pragma once
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace pellucar {

class Game;
class ScriptedDialogs;

// Runs a script of player actions against a game and reports what happened.
// One command per line; '#' starts a comment.
class PlayDriver {
public:
    PlayDriver(Game& game, ScriptedDialogs& dialogs, QTextStream& out) : game_(game), dialogs_(dialogs), out_(out) {}

    enum class Result { Finished, ScriptError, ProgramEnded };
    // Runs every line; stops at a script error (message in error()) or when
    // the game ends the program.
    Result run(const QStringList& lines);
    const QString& error() const { return error_; }

private:
    bool execute(const QString& line, QString* error);
    bool click(const QString& name, int index, QString* error);
    // order, bracket, orders, change and cancel: the Trainer's working orders.
    bool orderCommand(const QStringList& w, QString* error);
    bool drawCommand(const QStringList& w, QString* error);

    Game& game_;
    ScriptedDialogs& dialogs_;
    QTextStream& out_;
    QString error_;
};

} // namespace pellucar
