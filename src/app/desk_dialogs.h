#pragma once
#include "app/player_dialogs.h"

#include <functional>

namespace pellucar {

// The game's way to its windows: every modal window first lets the game
// bring the main window up to date (the charts a Forward press held back,
// the controls' flags), so what the player sees behind it is current. The
// window system's own calls pass straight through.
class DeskDialogs : public PlayerDialogs {
    // Runs `show` with the window brought up to date and counted as open.
    template <typename F> auto modal(F&& show) {
        struct Open {
            int& n;
            explicit Open(int& count) : n(count) { ++n; }
            ~Open() { --n; }
        } open(open_);
        beforeModal_();
        return show();
    }

public:
    // `beforeModal` runs before each modal window opens, with modalOpen()
    // already true; `beforeEvents` before pending window events run.
    DeskDialogs(PlayerDialogs& inner, std::function<void()> beforeModal, std::function<void()> beforeEvents)
        : inner_(inner), beforeModal_(std::move(beforeModal)), beforeEvents_(std::move(beforeEvents)) {}

    // A modal window is up over the main window.
    bool modalOpen() const { return open_ > 0; }

    void notify(const QString& title, const QString& message, int number) override {
        return modal([&] { inner_.notify(title, message, number); });
    }
    void messageBox(const QString& message) override {
        return modal([&] { inner_.messageBox(message); });
    }
    void about() override {
        return modal([&] { inner_.about(); });
    }
    void customProgramming() override {
        return modal([&] { inner_.customProgramming(); });
    }
    bool disclaimer(const QString& text) override {
        return modal([&] { return inner_.disclaimer(text); });
    }
    bool timePeriod(TimePeriodForm& form) override {
        return modal([&] { return inner_.timePeriod(form); });
    }
    bool levelSelected(const LevelSummary& s) override {
        return modal([&] { return inner_.levelSelected(s); });
    }
    int commoditySelect(int currentId) override {
        return modal([&] { return inner_.commoditySelect(currentId); });
    }
    void news(const QString& caption, const QString& story, int heightTwips, bool scrolling) override {
        return modal([&] { inner_.news(caption, story, heightTwips, scrolling); });
    }
    bool confirm(const QString& title, const QString& message) override {
        return modal([&] { return inner_.confirm(title, message); });
    }
    void tradeConfirmation(const QString& message) override {
        return modal([&] { inner_.tradeConfirmation(message); });
    }
    GameOverChoice gameOver(const GameSummary& s) override {
        return modal([&] { return inner_.gameOver(s); });
    }
    EndOfGameChoice endOfGame(const GameSummary& s) override {
        return modal([&] { return inner_.endOfGame(s); });
    }
    void commissions(const CommissionStatement& s) override {
        return modal([&] { inner_.commissions(s); });
    }
    void pastGames(const PastGamesReport& r) override {
        return modal([&] { inner_.pastGames(r); });
    }
    std::optional<QString> scenarios(const ScenariosReport& r) override {
        return modal([&] { return inner_.scenarios(r); });
    }
    void screenColor() override {
        return modal([&] { inner_.screenColor(); });
    }
    bool printMainWindow() override {
        return modal([&] { return inner_.printMainWindow(); });
    }
    void loading(bool shown) override {
        if (shown) beforeModal_();
        inner_.loading(shown);
    }

    void help(int contextId) override { inner_.help(contextId); }
    void quitHelp() override { inner_.quitHelp(); }
    void loadingProgress(int done, int total) override { inner_.loadingProgress(done, total); }
    void busy(bool on) override { inner_.busy(on); }
    void processEvents() override {
        beforeEvents_();
        inner_.processEvents();
    }

private:
    PlayerDialogs& inner_;
    std::function<void()> beforeModal_;
    std::function<void()> beforeEvents_;
    int open_ = 0;
};

} // namespace pellucar
