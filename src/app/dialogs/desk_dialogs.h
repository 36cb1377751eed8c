#pragma once
#include "app/dialogs/player_dialogs.h"

#include <functional>

namespace pellucar {

// The game's way to its windows: every modal window first lets the game
// bring the main window up to date (the charts a Forward press held back,
// the controls' flags), so what the player sees behind it is current. The
// window system's own calls pass straight through.
class DeskDialogs : public PlayerDialogs {
    // Runs `show` with the window brought up to date and counted as open;
    // `what` names the window for the game (auto-play says where it
    // stopped).
    template <typename F> auto modal(const QString& what, F&& show) {
        struct Open {
            int& n;
            explicit Open(int& count) : n(count) { ++n; }
            ~Open() { --n; }
        } open(open_);
        beforeModal_(what);
        return show();
    }

public:
    // `beforeModal` runs before each modal window opens, with modalOpen()
    // already true, and is told which window; `beforeEvents` before pending
    // window events run.
    DeskDialogs(PlayerDialogs& inner, std::function<void(const QString&)> beforeModal,
                std::function<void()> beforeEvents)
        : inner_(inner), beforeModal_(std::move(beforeModal)), beforeEvents_(std::move(beforeEvents)) {}

    // A modal window is up over the main window.
    bool modalOpen() const { return open_ > 0; }

    void notify(const QString& title, const QString& message, int number) override {
        return modal(title, [&] { inner_.notify(title, message, number); });
    }
    void messageBox(const QString& message) override {
        return modal(QStringLiteral("message"), [&] { inner_.messageBox(message); });
    }
    void about() override {
        return modal(QStringLiteral("About"), [&] { inner_.about(); });
    }
    void customProgramming() override {
        return modal(QStringLiteral("Custom Programming"), [&] { inner_.customProgramming(); });
    }
    bool disclaimer(const QString& text) override {
        return modal(QStringLiteral("Disclaimer"), [&] { return inner_.disclaimer(text); });
    }
    bool timePeriod(TimePeriodForm& form) override {
        return modal(QStringLiteral("Time Period"), [&] { return inner_.timePeriod(form); });
    }
    bool levelSelected(const LevelSummary& s) override {
        return modal(QStringLiteral("Level"), [&] { return inner_.levelSelected(s); });
    }
    std::optional<QString> tradeNote(const QString& trade, const QString& note) override {
        return modal(QStringLiteral("Trade Note"), [&] { return inner_.tradeNote(trade, note); });
    }
    int commoditySelect(int currentId) override {
        return modal(QStringLiteral("Commodity"), [&] { return inner_.commoditySelect(currentId); });
    }
    void news(const QString& caption, const QString& story, int heightTwips, bool scrolling) override {
        return modal(QStringLiteral("news story"), [&] { inner_.news(caption, story, heightTwips, scrolling); });
    }
    bool confirm(const QString& title, const QString& message) override {
        return modal(title, [&] { return inner_.confirm(title, message); });
    }
    void tradeConfirmation(const QString& message) override {
        return modal(QStringLiteral("Trade Confirmation"), [&] { inner_.tradeConfirmation(message); });
    }
    GameOverChoice gameOver(const GameSummary& s) override {
        return modal(QStringLiteral("Game Over"), [&] { return inner_.gameOver(s); });
    }
    EndOfGameChoice endOfGame(const GameSummary& s) override {
        return modal(QStringLiteral("end of game"), [&] { return inner_.endOfGame(s); });
    }
    void commissions(const CommissionStatement& s) override {
        return modal(QStringLiteral("Commissions"), [&] { inner_.commissions(s); });
    }
    void pastGames(const PastGamesReport& r) override {
        return modal(QStringLiteral("Past Games"), [&] { inner_.pastGames(r); });
    }
    std::optional<QString> scenarios(const ScenariosReport& r) override {
        return modal(QStringLiteral("Scenarios"), [&] { return inner_.scenarios(r); });
    }
    std::optional<int> rewindPeriod(int last) override {
        return modal(QStringLiteral("Rewind"), [&] { return inner_.rewindPeriod(last); });
    }
    void scenarioDebrief(const ScenarioDebrief& d) override {
        return modal(QStringLiteral("Debrief"), [&] { inner_.scenarioDebrief(d); });
    }
    void screenColor() override {
        return modal(QStringLiteral("Screen Color"), [&] { inner_.screenColor(); });
    }
    bool printMainWindow() override {
        return modal(QStringLiteral("Print"), [&] { return inner_.printMainWindow(); });
    }
    void loading(bool shown) override {
        if (shown) beforeModal_(QString());
        inner_.loading(shown);
    }

    void help(int contextId) override { inner_.help(contextId); }
    void quitHelp() override { inner_.quitHelp(); }
    void loadingProgress(int done, int total) override { inner_.loadingProgress(done, total); }
    void busy(bool on) override { inner_.busy(on); }
    void processEvents() override {
        if (inner_.paintsOnEvents()) beforeEvents_();
        inner_.processEvents();
    }
    bool paintsOnEvents() const override { return inner_.paintsOnEvents(); }

private:
    PlayerDialogs& inner_;
    std::function<void(const QString&)> beforeModal_;
    std::function<void()> beforeEvents_;
    int open_ = 0;
};

} // namespace pellucar
