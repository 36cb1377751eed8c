#pragma once
#include "app/game/game.h"
#include "common/random.h"
#include "ui/kestrow.h"
#include "ui/qt_dialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QHash>
#include <QLabel>
#include <QList>
#include <QStringList>
#include <functional>

class QDialog;

namespace pellucar::uitest {

// What the scripted player picks in the setup window.
struct SetupPlan {
    QString level = QStringLiteral("Expert");
    QString length = QStringLiteral("Quarter"); // Month, Quarter, Year
    QString data = QStringLiteral("Daily");
    QString news = QStringLiteral("Annual"); // Annual, Daily
    bool random = false;
    int month = 1;
    int year = 1990;
    QString rules = QStringLiteral("Classic"); // Classic, Trainer
};

// The real game windows, answered by script instead of a player: each
// window is built as the game would show it, then its buttons are pressed
// in code, so the windows' own handlers decide what the game gets back.
class ScriptedDialogs : public ui::QtDialogs {
public:
    using Answer = std::function<void(QDialog*)>;

    SetupPlan setup;
    bool agree = true;
    // One line per window: "objectName: caption | text".
    QStringList transcript;

    // Queues an answer for the next window of that object name.
    void answer(const QString& window, Answer a) { queued_[window].append(std::move(a)); }
    static void press(QDialog* d, const QString& buttonName);

protected:
    int run(QDialog* dialog) override;

private:
    void defaultAnswer(QDialog* d);
    QHash<QString, QList<Answer>> queued_;
};

// A market database written once per process: six markets with daily rows
// for the first weeks of January 1990, the disclaimer text and a tick day.
const QString& fixtureDatabase();

// A main window with its game, played by script.
template <class Dialogs = ScriptedDialogs> struct BasicRig {
    explicit BasicRig(const QString& databasePath = fixtureDatabase())
        : game(dialogs, random, databasePath), window(game, dialogs) {
        dialogs.setMainWindow(&window);
    }
    ~BasicRig() { dialogs.setMainWindow(nullptr); }
    QWidget* widget(const char* key) const {
        QWidget* w = window.widget(QString::fromLatin1(key));
        if (!w) qFatal("no control %s", key);
        return w;
    }
    QString text(const char* key) const { return static_cast<QLabel*>(widget(key))->text(); }
    void click(const char* key) const { static_cast<QAbstractButton*>(widget(key))->click(); }
    // Start-up and a new game as the setup plan says, then Forward pressed `forwards` times.
    void startGame(int forwards = 0) {
        window.show();
        window.startUp();
        window.action(QStringLiteral("mnuNewGame"))->trigger();
        for (int i = 0; i < forwards; ++i) click("btnChangePeriod");
    }
    Dialogs dialogs;
    ScriptedRandom random{{}, 0.0};
    Game game;
    ui::Kestrow window;
};
using WindowRig = BasicRig<>;

// What a label or button lacks to show its text whole ("name 40x20 < 52x20"), or "".
QString cutShort(const QWidget* w);

} // namespace pellucar::uitest
