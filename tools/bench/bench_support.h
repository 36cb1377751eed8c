#pragma once
// Shared pieces of pellucar-bench: where the data lie, per-press samples,
// the figures the closing summary reads, and scripted players for the core
// game and for the real main window.
#include "app/dialogs/scripted_dialogs.h"
#include "app/game/game.h"
#include "common/market.h"
#include "common/random.h"
#include "ui/kestrow.h"
#include "ui/qt_dialogs.h"

#include <benchmark/benchmark.h>

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QWidget;

namespace pellucar::bench {

using Clock = std::chrono::steady_clock;

// The bundled database beside the program, where the game looks for it.
QString databasePath();
// The project's data folder the database is built from.
QString dataDir();

// Wall-clock times of single iterations. Google Benchmark reports the mean;
// the targets speak of the median, and a few slow presses (a notice window,
// a game's first chart) must not hide what a usual press costs.
//
// The thread's CPU time is kept beside the wall time: on a shared machine
// other processes stretch the wall clock, and the CPU median shows by how
// much.
class Samples {
public:
    struct Start {
        Clock::time_point wall;
        std::int64_t cpuNs;
    };
    static Start start();
    void stop(const Start& s);
    // A wall time measured elsewhere (a child process).
    void add(Clock::duration d);
    static double quantileNs(std::vector<double> v, double q);
    // Adds median and 90th percentile columns (microseconds), and the CPU
    // median where there is one, and files the wall median under `figure`
    // (the CPU median under `figure`.cpu) for the summary.
    void publish(benchmark::State& state, const std::string& figure) const;

private:
    std::vector<double> wallNs_, cpuNs_;
};

// Figures for the closing summary. A benchmark function runs several times
// while Google Benchmark settles the iteration count; the last run is the
// one it reports, and the last record wins the same way.
void record(const std::string& figure, double value);
std::optional<double> recorded(const std::string& figure);

// Where to stop a game before its end: the number of presses it can take.
int pressLimit(const Game& game);

// What a scripted player picks in the setup window.
struct SetupPlan {
    QString level = QStringLiteral("Expert");
    QString length = QStringLiteral("Year");
    QString data = QStringLiteral("Daily");
    int month = 1;
    int year = 1994;
    QString rules = QStringLiteral("Classic");
    // Under Trainer rules: working orders placed after the positions, limits
    // far from the market, so every press checks them all and fills none.
    int workingOrders = 0;
};
SetupPlan dailyYear();
SetupPlan tickQuarter();

// The game's own scripted windows, standing for a window that paints: the
// game brings the window up to date wherever the window would repaint, as it
// does for the player, so the core press costs what it costs under a window.
struct PaintingDialogs : pellucar::ScriptedDialogs {
    bool paintsOnEvents() const override { return true; }
};

// The core game alone, answered by the game's own scripted windows.
struct CoreRig {
    CoreRig();
    PaintingDialogs dialogs;
    ScriptedRandom random{{}, 0.0};
    Game game;
    // The presses Forward can still make before the game nears its end.
    int pressesLeft() const { return pressLimit(game) - game.state().clock.periodIndex(); }
};

// Starts the game, sets up the plan's game, moves to its first period and
// opens a long position in every market.
bool setUpCoreGame(CoreRig& rig, const SetupPlan& plan, std::string* error);

// The real game windows, each answered in code the moment it would open:
// built and brought up to date as for a player, then its buttons pressed,
// so no window waits for anyone.
class WindowDialogs : public ui::QtDialogs {
public:
    SetupPlan setup;
    int gameOvers = 0; // end-of-game windows answered

protected:
    int run(QDialog* dialog) override;

private:
    static void press(QDialog* d, const QString& button);
};

// Counts paint events of the widgets it watches.
class PaintWatch : public QObject {
public:
    void watch(QWidget* w);
    void reset();
    bool painted(QWidget* w) const;
    int paints(QWidget* w) const { return paints_.value(w); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QHash<QObject*, int> paints_;
};

// Works off events until every watched widget has painted (or a second has
// passed), then once more so what the paints scheduled also runs. Returns
// false on the time-out.
bool processUntilPainted(const PaintWatch& watch, const QList<QWidget*>& needed);

// The main window with its game, played by script.
struct WindowRig {
    explicit WindowRig(const SetupPlan& plan);
    ~WindowRig();
    WindowDialogs dialogs;
    ScriptedRandom random{{}, 0.0};
    Game game;
    ui::Kestrow window;
    PaintWatch paints;
    // What paints each chart: its pane while the chart is empty, then the
    // viewport of its drawing. Call watchCharts() after a press that may
    // have made the drawings.
    QWidget* left = nullptr;
    QWidget* right = nullptr;
    // The six-market strip above the charts.
    QWidget* strip = nullptr;
    void watchCharts();
    int pressesLeft() const { return pressLimit(game) - game.state().clock.periodIndex(); }
};

// Shows the window, runs start-up, sets up the plan's game through the
// menu, moves to the first period and opens a position in every market by
// pressing the window's own buttons and typing into its units box.
bool setUpWindowGame(WindowRig& rig, std::string* error);
// One press of Forward on the window's button, up to both charts painted
// when their contents changed. Returns false when a chart never painted.
bool pressForward(WindowRig& rig, bool* chartsChanged = nullptr);
// One move of the charts' view as the player makes it: a key pressed on the
// price chart (Left, Right, + or -), up to both charts painted.
bool stepChartView(WindowRig& rig, int key);

// The rows a Daily year's period load reads from `start`, stepped by SQLite
// alone on a kept connection to the bundled file; -1 when it cannot be opened.
long long stepDailyYearRows(const QDate& start);

// Peak resident set of this process so far, in megabytes (getrusage).
double peakRssMb();
// The same high-water mark as the kernel keeps it for the current program
// image (VmHWM), as a check on the figure above.
double highWaterMb();

// The presses Forward takes through one whole game of the plan, stopping
// where pressLimit() does.
int pressesPerGame(const SetupPlan& plan);

// Registration, in the order the table lists them. The press benchmarks run
// whole games: a game's later presses draw longer charts, so a sample cut
// short would favour the cheap start of the year.
void registerLoadBenchmarks();
void registerMkdbBenchmarks();
void registerStartupBenchmarks();
void registerCoreForwardBenchmarks(int dailyPresses, int tickPresses);
void registerWindowForwardBenchmarks(int dailyPresses, int tickPresses);
void registerMemoryBenchmarks();
void registerAutoPlayBenchmarks();
void registerResumeBenchmarks();
void registerChartViewBenchmarks();
void registerPastGamesBenchmarks();
// The child processes this program starts for cold-start and memory figures.
int runChildProbe(int argc, char** argv);

} // namespace pellucar::bench
