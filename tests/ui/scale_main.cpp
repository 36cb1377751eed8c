// test_ui_scale: plays into a Daily Expert game at the scale the environment
// sets (QT_SCALE_FACTOR), noting each game window that opened on the way.
#include "app/record/past_games.h"
#include "scripted_dialogs.h"
#include "support/game_harness.h"
#include "ui/chart_view.h"
#include "ui/help_viewer.h"
#include "ui/look.h"
#include "ui/order_ticket.h"
#include "ui/past_games_window.h"
#include "ui/working_orders_window.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>

#include <cmath>
#include <cstdio>

using namespace pellucar;

namespace {

// The part of `w` on the screen that its parents (up to `top`) leave in sight.
QRect inSight(const QWidget* w, const QWidget* top = nullptr) {
    QRect shown(w->mapToGlobal(QPoint(0, 0)), w->size());
    for (const QWidget* p = w->parentWidget(); p && p != top; p = p->parentWidget())
        shown &= QRect(p->mapToGlobal(QPoint(0, 0)), p->size());
    return shown;
}

// The windows' buttons that lie, wholly or in part, off the screen's room.
QStringList outOfReach(const QWidget* w) {
    QStringList out;
    const QRect room = w->screen()->availableGeometry();
    if (!room.contains(w->geometry())) out << w->objectName() + QStringLiteral(" window");
    for (const QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
        // Options may scroll with the content they belong to; the buttons
        // that answer the window may not.
        if (!b->isVisibleTo(w) || b->width() <= 1 || b->inherits("QRadioButton") || b->inherits("QCheckBox")) continue;
        // In reach: inside the room and, within its window, inside the part not scrolled out of sight.
        const QRect onScreen(b->mapToGlobal(QPoint(0, 0)), b->size());
        if (!room.contains(onScreen) || inSight(b, w) != onScreen) out << w->objectName() + '/' + b->objectName();
    }
    return out;
}

// A window shown as the player sees it (a window sized by its layout has its size only then): its size and the
// buttons it leaves out of reach noted.
void note(QWidget* d, QStringList& sizes, QStringList& unreachable) {
    d->show();
    QApplication::processEvents();
    sizes << QStringLiteral("%1 %2x%3").arg(d->objectName()).arg(d->width()).arg(d->height());
    unreachable << outOfReach(d);
}

class SizeNotingDialogs : public uitest::ScriptedDialogs {
public:
    QStringList* sizes = nullptr;
    QStringList* unreachable = nullptr;

protected:
    int run(QDialog* d) override {
        prepare(d);
        note(d, *sizes, *unreachable);
        d->hide();
        return ScriptedDialogs::run(d);
    }
};

// Every game window that the short game does not open, with contents long
// enough to fill them.
void openEveryOtherWindow(ui::QtDialogs& dialogs) {
    const QString longText = QStringLiteral("A long message that a small screen has to wrap. ").repeated(12);
    const GameSummary summary{"Game Over", longText, "$1,234.50", "$-20.00", "$1,214.50", "$40.00", true, true, {}};
    dialogs.notify(QStringLiteral("Trader Notification"), longText, 0);
    dialogs.confirm(QStringLiteral("Pellucar"), longText);
    dialogs.customProgramming();
    dialogs.levelSelected({QStringLiteral("Expert"), QStringLiteral("One Year"), QStringLiteral("Annual Summary"),
                           QStringLiteral("Daily")});
    dialogs.commoditySelect(3);
    dialogs.news(QStringLiteral("Fed Holds Rates"), longText.repeated(4), 5000, true);
    dialogs.tradeConfirmation(QStringLiteral("Transaction Order Filled: 5 Oil Bought @  $20.00"));
    dialogs.gameOver(summary);
    dialogs.endOfGame(summary);
    dialogs.commissions({longText, QStringLiteral("$1,234.50"), QStringLiteral("$40.00"), QStringLiteral("$1,194.50")});
    PastGamesReport report;
    PastGame g = test::pastGameSample(Level::Expert, -100000.0, 5);
    g.verdict = longText.left(80);
    report.games.assign(20, g);
    report.best = bestScores(report.games);
    dialogs.pastGames(report);
    dialogs.screenColor();
    dialogs.messageBox(QStringLiteral("The form could not be printed."));
}

// The periods of the price chart that show whole without scrolling the
// desk: points whose place lies inside the part of the window in sight.
int periodsInSight(const ui::Kestrow& window) {
    const auto* pane = window.findChild<ui::GameChartView*>(QStringLiteral("GraphLeft"));
    if (!pane || !pane->canvas()) return 0;
    const QRect shown = inSight(pane);
    const charts::ChartData& data = pane->chartData();
    int n = 0;
    for (qsizetype i = 0; i < data.points.size(); ++i) {
        const QPoint at = pane->viewportPosOf(static_cast<int>(i), data.yMin + (data.yMax - data.yMin) / 2);
        n += shown.contains(pane->canvas()->viewport()->mapToGlobal(at)) ? 1 : 0;
    }
    return n;
}

int fail(const QString& why) {
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 1;
}

} // namespace

// On a small screen at 200 %, every game window opens whole with its buttons
// in reach (windows sized in device pixels would not), and the main window is
// no larger than the screen.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::setUpLook();
    uitest::BasicRig<SizeNotingDialogs> rig;
    QStringList sizes, unreachable;
    rig.dialogs.sizes = &sizes;
    rig.dialogs.unreachable = &unreachable;
    rig.startGame(20);
    QApplication::processEvents();
    // The scale asked for must be the one the window got, or the run proves nothing.
    const double asked = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    if (std::abs(rig.window.devicePixelRatioF() - asked) > 1e-9) return fail(QStringLiteral("not at the scale asked"));

    // Folded away, the desk leaves the price chart room for twenty periods.
    auto* wide = rig.window.findChild<QAction*>(QStringLiteral("actWideCharts"));
    if (!wide) return fail(QStringLiteral("no Wide Charts"));
    wide->trigger();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (const int n = periodsInSight(rig.window); n < 20)
        unreachable << QStringLiteral("the price chart shows %1 periods").arg(n);
    // The strip of every market above it stands whole in sight too.
    const QWidget* strip = rig.window.findChild<QWidget*>(QStringLiteral("marketStrip"));
    if (!strip || !strip->isVisible() || inSight(strip) != QRect(strip->mapToGlobal(QPoint(0, 0)), strip->size()))
        unreachable << QStringLiteral("the market strip");
    wide->trigger();
    QApplication::processEvents();

    openEveryOtherWindow(rig.dialogs);
    // The Trainer's order windows, as their menu items make them.
    ui::OrderTicket ticket(
        rig.game, [](const OrderRequest&) { return QString(); }, &rig.window);
    ui::WorkingOrdersWindow orders(
        rig.game, [](const auto&) { return QString(); }, &rig.window);
    for (QDialog* d : {static_cast<QDialog*>(&ticket), static_cast<QDialog*>(&orders)}) {
        note(d, sizes, unreachable);
        d->hide();
    }
    {
        // Past Games > Statistics, opened from the list: a row for each rule set, level and scenario.
        std::vector<PastGame> games(6);
        for (size_t i = 0; i < games.size(); ++i) {
            const Level level = i % 2 ? Level::Novice : Level::Expert;
            games[i] = test::pastGameSample(level, 1000.0 * (static_cast<double>(i) - 2.5), static_cast<int>(i));
            games[i].rules = i % 3 ? RuleSet::Classic : RuleSet::Trainer;
            games[i].scenario = i > 3 ? QStringLiteral("Autumn 1987") : QString();
        }
        ui::GameStatisticsWindow stats(games, &rig.window);
        note(&stats, sizes, unreachable);
    }
    rig.dialogs.help(0);
    QApplication::processEvents();
    unreachable << outOfReach(rig.dialogs.helpViewer());
    const QRect room = rig.window.screen()->availableGeometry();
    if (rig.window.width() > room.width() || rig.window.height() > room.height())
        unreachable << QStringLiteral("Kestrow larger than the screen");
    if (sizes.size() < 16) return fail(QStringLiteral("too few windows opened: ") + sizes.join(", "));
    return unreachable.isEmpty() ? 0 : fail(QStringLiteral("out of reach: ") + unreachable.join(", "));
}
