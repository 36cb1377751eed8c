// pellucar-bench: the game's speed and memory figures on the bundled
// database, each beside a floor measured in the same run. Prints Google
// Benchmark's table, then a summary of figure, floor, ratio and target.
//
//   QT_QPA_PLATFORM=offscreen pellucar-bench --benchmark_min_time=0.2
//
// The program also runs itself as a child ("--probe ...") for the figures
// that need a fresh process: a cold start-up and a peak memory.
#include "bench_support.h"
#include "ui/look.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace {

using pellucar::bench::recorded;

enum class Unit { Time, Megabytes, Rate };

struct Line {
    const char* what;
    const char* figure;
    const char* floor;     // null: compared with the target alone
    const char* floorName; // what the floor is
    Unit unit;
    double target;      // ns or MB; 0 when there is none
    double ratioTarget; // the most the figure may be of its floor; 0 when none
};

// The figures, in the order they were asked for.
const Line kLines[] = {
    {"Period load, Daily year 1994", "load.daily", "load.daily.floor", "SQLite steps same SELECTs", Unit::Time, 0, 0},
    {"Period load, Tick quarter 1996 Q1", "load.tick", "load.tick.floor", "SQLite steps same SELECTs", Unit::Time, 0,
     0},
    {"  with 250,000 imported trades", "load.tick.250k", "load.tick.250k.floor", "SQLite steps same SELECTs",
     Unit::Time, 0, 0},
    {"  with 1,000,000 imported trades", "load.tick.1000k", "load.tick.1000k.floor", "SQLite steps same SELECTs",
     Unit::Time, 60e6, 0},
    {"  with 5,000,000 imported trades", "load.tick.5000k", "load.tick.5000k.floor", "SQLite steps same SELECTs",
     Unit::Time, 300e6, 0},
    {"  250,000 trades, file without hours", "load.tick.250k.trades", "load.tick.250k.trades.floor",
     "SQLite steps every trade", Unit::Time, 0, 0},
    {"  1,000,000 trades, file without hours", "load.tick.1000k.trades", "load.tick.1000k.trades.floor",
     "SQLite steps every trade", Unit::Time, 0, 0},
    {"  5,000,000 trades, file without hours", "load.tick.5000k.trades", "load.tick.5000k.trades.floor",
     "SQLite steps every trade", Unit::Time, 0, 0},
    {"  New Game click (core), Daily year", "newgame.daily", "load.daily.floor", "SQLite steps same SELECTs",
     Unit::Time, 0, 0},
    {"Start-up to window shown, new process", "startup.process", "startup.fair.process", "same labels, buttons, chart",
     Unit::Time, 0, 1.25},
    // Warm, the floor has no game and no database to open, so this ratio
    // tells what the game's set-up adds rather than meeting a bound.
    {"Start-up to window shown, in process", "startup.warm", "startup.fair.warm", "same labels, buttons, chart",
     Unit::Time, 0, 0},
    {"  the fair floor, new process", "startup.fair.process", "startup.bare.process", "bare QMainWindow process",
     Unit::Time, 0, 0},
    {"Forward, core, Daily (Expert, 6 positions)", "forward.core.daily", nullptr, "", Unit::Time, 50e3, 0},
    {"Forward, core, Tick (Expert, 6 positions)", "forward.core.tick", nullptr, "", Unit::Time, 30e3, 0},
    {"Resume, Daily year, no trades", "resume.0", "resume.0.floor", "decode, SQLite rows, account", Unit::Time, 0, 3},
    {"  500 trades", "resume.500", "resume.500.floor", "decode, SQLite rows, account", Unit::Time, 0, 3},
    {"  2,000 trades", "resume.2000", "resume.2000.floor", "decode, SQLite rows, account", Unit::Time, 0, 3},
    {"  10,000 trades", "resume.10000", "resume.10000.floor", "decode, SQLite rows, account", Unit::Time, 0, 3},
    {"Past Games, 20,000 games, list painted", "pastgames", "pastgames.floor", "QTableView, same rows", Unit::Time, 0,
     1.5},
    {"  every text as long as the record takes", "pastgames.longest", "pastgames.longest.floor",
     "QTableView, same rows", Unit::Time, 0, 1.5},
    {"Forward, window, Daily (charts, strip painted)", "forward.window.daily", "forward.window.daily.floor",
     "bare QtCharts, same data", Unit::Time, 0, 1.2},
    {"Forward, window, Tick (charts, strip painted)", "forward.window.tick", "forward.window.tick.floor",
     "bare QtCharts, same data", Unit::Time, 0, 1.2},
    {"Chart scroll step, Daily year zoomed out", "view.scroll.out", "view.scroll.out.floor", "bare QtCharts, same data",
     Unit::Time, 0, 1.5},
    {"Chart scroll step, zoomed in", "view.scroll.in", "view.scroll.in.floor", "bare QtCharts, same data", Unit::Time,
     0, 1.5},
    {"Chart zoom step, zoomed out", "view.zoom.out", "view.zoom.out.floor", "bare QtCharts, same data", Unit::Time, 0,
     1.5},
    {"Chart zoom step, zoomed in", "view.zoom.in", "view.zoom.in.floor", "bare QtCharts, same data", Unit::Time, 0,
     1.5},
    {"Peak RSS, Expert Daily year in window", "rss.game", "rss.bare", "bare QMainWindow process", Unit::Megabytes, 60,
     0},
    {"pellucar-mkdb build of futures.mdb", "mkdb", "mkdb.floor", "SQLite inserts same rows", Unit::Time, 0, 0},
    // Auto-play at its fastest: a rate, so the target is the least it may be.
    {"Auto-play fastest, Daily, charts drawn", "autoplay.daily", nullptr, "", Unit::Rate, 100, 0},
    {"  longest wait of input meanwhile", "autoplay.daily.wait", nullptr, "", Unit::Time, 50e6, 0},
    {"Auto-play fastest, Tick, charts drawn", "autoplay.tick", nullptr, "", Unit::Rate, 100, 0},
    {"  longest wait of input meanwhile", "autoplay.tick.wait", nullptr, "", Unit::Time, 50e6, 0},
};

std::string show(double v, Unit unit) {
    char buf[32];
    if (unit == Unit::Megabytes) std::snprintf(buf, sizeof buf, "%.1f MB", v);
    else if (unit == Unit::Rate) std::snprintf(buf, sizeof buf, "%.0f /s", v);
    else if (v >= 1e9) std::snprintf(buf, sizeof buf, "%.2f s", v / 1e9);
    else if (v >= 1e6) std::snprintf(buf, sizeof buf, "%.2f ms", v / 1e6);
    else std::snprintf(buf, sizeof buf, "%.1f us", v / 1e3);
    return buf;
}

void printSummary() {
    std::printf("\nSummary: wall-clock medians of single iterations (peak RSS: one process), floors from this\n"
                "run; the CPU median of the thread beside it shows what a busy machine added to the wall clock;\n"
                "a ratio is of the CPU medians where the figure and its floor both have one\n");
    std::printf("%-44s %11s %11s %11s %7s  %-26s %s\n", "figure", "median", "cpu", "floor", "ratio", "floor is",
                "target");
    // A figure not taken in this run (filtered out) reads as a negative value.
    const auto value = [](const char* key) { return key ? recorded(key).value_or(-1) : -1; };
    const auto text = [](double v, Unit unit) { return v < 0 ? std::string("-") : show(v, unit); };
    for (const Line& l : kLines) {
        const double v = value(l.figure);
        if (v < 0) continue;
        const double f = value(l.floor);
        const double cpu = value((std::string(l.figure) + ".cpu").c_str());
        std::string ratio = "-", target = "-";
        // Of CPU times where both have one: a busy machine stretches the
        // wall clock of one and not the other.
        const double cpuFloor = l.floor ? value((std::string(l.floor) + ".cpu").c_str()) : -1;
        const double r = cpu > 0 && cpuFloor > 0 ? cpu / cpuFloor : f > 0 ? v / f : -1;
        if (r > 0) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%.2fx", r);
            ratio = buf;
        }
        if (l.target > 0) {
            char buf[24];
            std::snprintf(buf, sizeof buf, " (%.1fx)", v / l.target);
            const bool rate = l.unit == Unit::Rate;
            const bool met = rate ? v >= l.target : v <= l.target;
            target = (rate ? ">= " : "<= ") + show(l.target, l.unit) + (met ? "  met" : "  MISSED") + buf;
        } else if (l.ratioTarget > 0 && r > 0) {
            char buf[48];
            std::snprintf(buf, sizeof buf, "<= %.2fx of the floor  %s", l.ratioTarget,
                          r <= l.ratioTarget ? "met" : "MISSED");
            target = buf;
        }
        std::printf("%-44s %11s %11s %11s %7s  %-26s %s\n", l.what, text(v, l.unit).c_str(), text(cpu, l.unit).c_str(),
                    text(f, l.unit).c_str(), ratio.c_str(), l.floor ? l.floorName : "-", target.c_str());
    }
    if (const double daily = value("forward.core.daily"), window = value("forward.window.daily");
        daily > 0 && window > 0)
        std::printf("Window press / core press (Daily): %.0fx\n", window / daily);
    for (const char* mode : {"daily", "tick"})
        if (const double paints = value((std::string("forward.window.") + mode + ".paints").c_str()); paints >= 0)
            std::printf("Forward, %s: the chart or strip painted most, %.2f times a press (1: one paint each)\n", mode,
                        paints);
    // Of the CPU median where there is one: the wall clock of a loaded
    // machine tells of the other processes.
    if (const double out = value("view.scroll.out.cpu") > 0 ? value("view.scroll.out.cpu") : value("view.scroll.out");
        out >= 0)
        std::printf("Scroll step zoomed out to a Daily year, CPU: %.2f ms (under 16 ms: %s)\n", out / 1e6,
                    out < 16e6 ? "met" : "MISSED");
    for (const char* mode : {"daily", "tick"})
        if (const double drawn = value((std::string("autoplay.") + mode + ".drawn").c_str()); drawn >= 0)
            std::printf("Auto-play, %s: each chart painted %.2f times a period (1 or more: every period drawn)\n", mode,
                        drawn);
    // Wall-clock medians on a busy machine run long; say how busy it was.
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("Load average at the end of the run: %s\n", load.readAll().trimmed().constData());
}

// The offscreen platform says, for every window, that it cannot resize or
// raise one, and each child process that no runtime folder is set; such
// lines, by the hundred, would bury the table.
QtMessageHandler previousHandler = nullptr;

void quietPlatformNotices(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (previousHandler) previousHandler(type, context, message);
    else std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv) {
    previousHandler = qInstallMessageHandler(quietPlatformNotices);
    if (argc >= 2 && std::strcmp(argv[1], "--probe") == 0) return pellucar::bench::runChildProbe(argc, argv);
    // The figures are taken without a display, so runs on different
    // machines compare; the children inherit the setting.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellucar"));
    pellucar::ui::setUpLook();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    using namespace pellucar::bench;
    registerLoadBenchmarks();
    registerMkdbBenchmarks();
    registerStartupBenchmarks();
    const int daily = pressesPerGame(dailyYear()), tick = pressesPerGame(tickQuarter());
    if (daily <= 0 || tick <= 0) {
        std::fprintf(stderr, "pellucar-bench: cannot play a game on %s\n", qPrintable(databasePath()));
        return 1;
    }
    registerCoreForwardBenchmarks(daily, tick);
    registerResumeBenchmarks();
    registerPastGamesBenchmarks();
    registerWindowForwardBenchmarks(daily, tick);
    registerChartViewBenchmarks();
    registerMemoryBenchmarks();
    registerAutoPlayBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    return 0;
}
