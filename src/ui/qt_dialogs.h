#pragma once
#include "app/dialogs/player_dialogs.h"
#include "ui/color_scheme.h"

#include <QPointer>
#include <QString>
#include <functional>

class QDialog;
class QPixmap;
class QPrinter;
class QWidget;

namespace pellucar::ui {

class HelpViewer;
class Kestrow;

// The game's modal windows as real dialog windows. Each is built when it is
// needed and dropped when it closes; each takes the current colour scheme
// when it opens, and the main window is brought up to date behind it first.
class QtDialogs : public PlayerDialogs {
public:
    QtDialogs();
    ~QtDialogs() override;

    void setMainWindow(Kestrow* window) { main_ = window; }
    Kestrow* mainWindow() const { return main_; }
    ScreenColors& colors() { return colors_; }
    const ScreenColors& colors() const { return colors_; }

    // Where the help topics lie (dunmere.hlp beside the program).
    void setHelpPath(const QString& path) { helpPath_ = path; }
    HelpViewer* helpViewer() const;

    // Hands the grabbed window to a printer. The default asks the player
    // through the platform print dialog; a cancel there is no failure.
    using PrintSink = std::function<bool(const QPixmap&)>;
    void setPrintSink(PrintSink sink) { printSink_ = std::move(sink); }
    // Prints an image on a printer that is set up already, scaled to the page.
    static bool printImage(const QPixmap& image, QPrinter& printer);

    // Applies a colour scheme to the main window and remembers it for the
    // windows that open later (the screen colour window calls it).
    void chooseScheme(Scheme scheme);

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
    std::optional<QString> scenarios(const ScenariosReport& report) override;
    std::optional<int> rewindPeriod(int last) override;
    void scenarioDebrief(const ScenarioDebrief& debrief) override;
    void screenColor() override;
    void help(int contextId) override;
    void quitHelp() override;
    bool printMainWindow() override;
    void loading(bool shown) override;
    void loadingProgress(int done, int total) override;
    void busy(bool on) override;
    void processEvents() override;

protected:
    // Shows a window modally; returns its result. Scripted players replace
    // it to answer the real windows without a nested event loop.
    virtual int run(QDialog* dialog);
    // Brings the main window up to date and colours the window in the
    // current scheme; run() does it before showing anything.
    void prepare(QDialog* dialog);
    QWidget* parentWindow() const;

private:
    void paintMainWindowFirst();
    Kestrow* main_ = nullptr;
    ScreenColors colors_;
    QString helpPath_;
    QPointer<HelpViewer> help_;
    QPointer<QDialog> loading_;
    PrintSink printSink_;
    int busyDepth_ = 0;
};

} // namespace pellucar::ui
