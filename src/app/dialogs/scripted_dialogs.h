#pragma once
#include "app/dialogs/player_dialogs.h"

#include <QHash>
#include <QStringList>
#include <functional>

namespace pellucar {

// Answers every modal window from a script and writes one transcript line
// per window shown: "WINDOW: caption | message", line breaks as "\n". A
// choice window takes the button queued with queueAnswer(), or its first
// button when nothing is queued; notifications and confirmations close
// themselves. Used by the headless driver and by the tests.
class ScriptedDialogs : public PlayerDialogs {
public:
    // Queues the object name of the button to press in the next window that
    // offers a choice ("btnExit", "cmdReset", "btnRestartGame", ...).
    void queueAnswer(const QString& button) { answers_.append(button); }
    // Settings for the next setup window, as key=value pairs:
    // level=Novice|Expert length=Month|Quarter|Year data=Daily|Tick
    // news=Annual|Daily period=select|random month=1..12 year=YYYY.
    void queueSetup(const QHash<QString, QString>& settings) { setups_.append(settings); }
    // Checks one setup pair; returns an error text or empty.
    static QString checkSetting(const QString& key, const QString& value);
    // The text the next trade-note window takes; with none queued it is
    // cancelled.
    void queueNote(const QString& text) { notes_.append(text); }
    void setPrintSucceeds(bool ok) { printOk_ = ok; }
    void setOutput(std::function<void(const QString&)> out) { out_ = std::move(out); }

    const QStringList& transcript() const { return transcript_; }
    void clearTranscript() { transcript_.clear(); }
    int pendingAnswers() const { return static_cast<int>(answers_.size()); }

    void notify(const QString& title, const QString& message, int number) override;
    void messageBox(const QString& message) override;
    void about() override;
    void customProgramming() override;
    bool disclaimer(const QString& text) override;
    bool timePeriod(TimePeriodForm& form) override;
    bool levelSelected(const LevelSummary& summary) override;
    int commoditySelect(int currentId) override;
    void news(const QString& caption, const QString& story, int heightTwips, bool scrolling) override;
    bool confirm(const QString& title, const QString& message) override;
    void tradeConfirmation(const QString& message) override;
    std::optional<QString> tradeNote(const QString& trade, const QString& note) override;
    GameOverChoice gameOver(const GameSummary& summary) override;
    EndOfGameChoice endOfGame(const GameSummary& summary) override;
    void commissions(const CommissionStatement& statement) override;
    void pastGames(const PastGamesReport& report) override;
    // Takes a queued answer that names a scenario; Cancel otherwise.
    std::optional<QString> scenarios(const ScenariosReport& report) override;
    // Takes a queued answer that is a period number; Cancel otherwise.
    std::optional<int> rewindPeriod(int last) override;
    void scenarioDebrief(const ScenarioDebrief& debrief) override;
    void screenColor() override;
    void help(int contextId) override;
    void quitHelp() override {}
    bool printMainWindow() override;
    void loading(bool shown) override;
    void busy(bool) override {}
    void processEvents() override {}
    bool paintsOnEvents() const override { return false; }

private:
    void write(const QString& window, const QString& caption, const QString& message);
    // The queued answer when it is one of `buttons`, else the first button.
    QString choose(const QStringList& buttons);

    QStringList answers_;
    QStringList notes_;
    QList<QHash<QString, QString>> setups_;
    QStringList transcript_;
    bool printOk_ = true;
    std::function<void(const QString&)> out_;
};

} // namespace pellucar
