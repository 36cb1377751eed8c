// ui_screens --db FILE --out DIR [--prefix NAME] [--level Novice|Expert]
//            [--data Daily|Tick] [--length Month|Quarter|Year] [--year YYYY]
//            [--month M] [--news Annual|Daily] [--forward N] [--script FILE]
//            [--no-game] [--hold SECONDS] [--show-all] [--sample-charts]
//            [--menu KEY] [--windows] [--rules Classic|Trainer]
// Starts the game with a scripted player, optionally sets up a game and
// presses Forward N times, then saves the main window in the design colours
// and in each colour scheme: DIR/NAME_design.png, NAME_black.png, ...
// With --hold the window stays up that long after the last scheme, for a
// screen grab from outside. --show-all shows every control at once and
// --sample-charts draws made-up chart data, to check that nothing overlaps
// or clips whatever the game shows. --menu opens that menu before the
// external grab; --windows also saves each of the game's small windows
// with made-up texts as DIR/NAME_n_frmXxx_<scheme>.png.
//
// --script plays a game through the window's own widgets before the last
// pictures, one command a line ('#' starts a comment):
//   forward [N]                   presses Forward N times (1 if no N)
//   trade MARKET buy|sell UNITS   Trade, the market, Buy or Sell, types the
//                                 units and presses Enter in the units box
//   click NAME [INDEX]            a button, menu item (NAME_INDEX works too) or
//                                 entry INDEX of cboCommodity
//   type TEXT                     typed into the units box (replacing it)
//   key Enter|Tab                 in the units box
//   answer WINDOW BUTTON          the next WINDOW (object name) is answered
//                                 by pressing BUTTON instead of the default
//   capture WINDOW [SHOT]         the next WINDOW is saved, before it is
//                                 answered, in each scheme as SHOT_<scheme>.png
//                                 (SHOT defaults to WINDOW)
//   shot SHOT                     saves the main window in each scheme as
//                                 SHOT_<scheme>.png
//   grab WINDOW [SHOT]            saves the shown window of that object name
//                                 (one the game leaves open, such as the
//                                 help viewer) in each scheme, as capture does;
//                                 a control of the main window (a chart) is
//                                 saved whole, scrolled into sight or not
//   open GRID ROW                 selects ROW of a report grid and presses
//                                 Enter on it
//   mouse CHART X Y               the crosshair of a chart at X% and Y% of it
//   chartkeys CHART KEY ...       keys (Left, Up, Enter ...) pressed on a chart
//   resize [WIDTH HEIGHT]         resizes the main window (logical pixels);
//                                 with no size, back to its size at start
//   fill WINDOW FIELD TEXT        types TEXT into a box of a shown window (one
//                                 the game leaves open, such as the order
//                                 ticket), or picks the entry TEXT of a list
//   press WINDOW BUTTON           presses a button of a shown window
// Shot files go to DIR, prefixed by NAME_ when --prefix is given (not
// --name, which the X11 platform takes for itself). A window is
// saved with a drawn title bar, so a caption too long for it shows as cut.
// When the script saved pictures itself, the final main-window pictures are
// left out. The focus widget is reported with every shot.
#include "scripted_dialogs.h"

#include "app/game/game.h"
#include "app/view/control_table.h"
#include "charts/chart_data.h"
#include "common/random.h"
#include "market/market_data.h"
#include "ui/chart_view.h"
#include "ui/debrief_window.h"
#include "ui/game_review_window.h"
#include "ui/kestrow.h"
#include "ui/look.h"
#include "ui/metrics.h"
#include "ui/past_games_window.h"
#include "ui/placement.h"
#include "ui/windows.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <cmath>
#include <tuple>

#include <cmath>
#include <memory>

using namespace pellucar;

namespace {

const QList<std::pair<ui::Scheme, QString>>& allSchemes() {
    static const QList<std::pair<ui::Scheme, QString>> s{{ui::Scheme::Design, "design"},
                                                         {ui::Scheme::Black, "black"},
                                                         {ui::Scheme::Gray, "gray"},
                                                         {ui::Scheme::Monochrome, "mono"}};
    return s;
}

void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// The window as the player sees it: a plain title bar with its caption (a
// close box on the right) over the window's contents.
QPixmap framed(QWidget* w) {
    const QPixmap body = w->grab();
    const qreal dpr = body.devicePixelRatio();
    QFont f = ui::windowFont();
    f.setBold(true);
    const int bar = QFontMetrics(f).height() + 8;
    const QSize logical = body.size() / dpr;
    QPixmap out(QSize(logical.width(), logical.height() + bar) * dpr);
    out.setDevicePixelRatio(dpr);
    out.fill(Qt::white);
    QPainter p(&out);
    p.fillRect(QRect(0, 0, logical.width(), bar), QColor(40, 60, 110));
    p.setFont(f);
    p.setPen(Qt::white);
    const int closeBox = bar;
    p.setClipRect(QRect(6, 0, logical.width() - 6 - closeBox, bar));
    p.drawText(QRect(6, 0, 4000, bar), Qt::AlignLeft | Qt::AlignVCenter, w->windowTitle());
    p.setClipping(false);
    p.drawText(QRect(logical.width() - closeBox, 0, closeBox, bar), Qt::AlignCenter, QStringLiteral("x"));
    p.drawPixmap(0, bar, body);
    return out;
}

// The scripted player, which can also save the next window of a name
// before it answers it.
class ShootingDialogs : public uitest::ScriptedDialogs {
public:
    std::function<void(QDialog*)> saveWindow;
    QHash<QString, QStringList> captures; // window name -> shot names, in order

protected:
    int run(QDialog* d) override {
        if (auto it = captures.find(d->objectName()); it != captures.end() && !it->isEmpty()) {
            prepare(d);
            const QString shot = it->takeFirst();
            const ui::Scheme current = colors().scheme();
            d->show();
            for (const auto& [scheme, label] : allSchemes()) {
                colors().apply(scheme, nullptr);
                colors().applyToDialog(d);
                settle();
                const QString file = shot + "_" + label + ".png";
                d->setProperty("shotFile", file);
                saveWindow(d);
            }
            colors().apply(current, nullptr);
            colors().applyToDialog(d);
            d->hide();
        }
        return ScriptedDialogs::run(d);
    }
};

QString marketButton(const QString& market) {
    static const QHash<QString, QString> buttons{
        {"oil", "btnOil"},     {"gold", "btnGold"},     {"tbond", "btnTBond"},     {"t-bond", "btnTBond"},
        {"sp500", "btnSp500"}, {"cattle", "btnCattle"}, {"soybean", "btnSoybean"}, {"soybeans", "btnSoybean"}};
    return buttons.value(market.toLower());
}

// Plays script lines through the window's widgets, as a player's mouse and
// keyboard would reach the game.
class ScriptPlayer {
public:
    // shot(nullptr, name) saves the main window, shot(w, name) the window w.
    using Shooter = std::function<void(QWidget*, const QString&)>;
    ScriptPlayer(ui::Kestrow& window, ShootingDialogs& dialogs, Shooter shot)
        : window_(window), dialogs_(dialogs), shot_(std::move(shot)), startSize_(window.size()) {}

    // False with a message on a line the player cannot carry out.
    bool execute(const QString& rawLine, QString* error) {
        QString line = rawLine;
        if (const qsizetype hash = line.indexOf('#'); hash >= 0) line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty()) return true;
        const QStringList w = line.split(QRegularExpression(QStringLiteral("\\s+")));
        const QString cmd = w[0];
        if (cmd == "forward") {
            bool ok = true;
            const int n = w.size() > 1 ? w[1].toInt(&ok) : 1;
            if (!ok || n < 0 || w.size() > 2) return fail(error, "usage: forward [N]");
            for (int i = 0; i < n && !window_.game().ended(); ++i)
                if (!press(QString::fromLatin1(keys::kForward), error)) return false;
            return true;
        }
        if (cmd == "trade") {
            const QString side = w.value(2).toLower();
            if (w.size() != 4 || marketButton(w[1]).isEmpty() || (side != "buy" && side != "sell"))
                return fail(error, "usage: trade MARKET buy|sell UNITS");
            return press(QString::fromLatin1(keys::kTrade), error) && press(marketButton(w[1]), error) &&
                   press(side == "buy" ? QStringLiteral("btnBuy") : QStringLiteral("btnSell"), error) && type(w[3]) &&
                   key(Qt::Key_Return);
        }
        if (cmd == "click") {
            if (w.size() < 2 || w.size() > 3) return fail(error, "usage: click NAME [INDEX]");
            bool ok = true;
            const int index = w.size() == 3 ? w[2].toInt(&ok) : -1;
            if (!ok) return fail(error, "index must be a number");
            return click(w[1], index, error);
        }
        if (cmd == "type") return type(line.mid(4).trimmed());
        if (cmd == "key") {
            if (w.size() != 2 || (w[1] != "Enter" && w[1] != "Tab")) return fail(error, "usage: key Enter|Tab");
            return key(w[1] == "Enter" ? Qt::Key_Return : Qt::Key_Tab);
        }
        if (cmd == "answer") {
            if (w.size() != 3) return fail(error, "usage: answer WINDOW BUTTON");
            const QString button = w[2];
            dialogs_.answer(w[1], [button](QDialog* d) { uitest::ScriptedDialogs::press(d, button); });
            return true;
        }
        if (cmd == "capture") {
            if (w.size() < 2 || w.size() > 3) return fail(error, "usage: capture WINDOW [SHOT]");
            dialogs_.captures[w[1]] << w.value(2, w[1]);
            return true;
        }
        if (cmd == "resize") {
            bool okW = true, okH = true;
            const int width = w.size() == 1 ? startSize_.width() : w.value(1).toInt(&okW);
            const int height = w.size() == 1 ? startSize_.height() : w.value(2).toInt(&okH);
            if ((w.size() != 1 && w.size() != 3) || !okW || !okH || width < 100 || height < 100)
                return fail(error, "usage: resize [WIDTH HEIGHT]");
            window_.resize(width, height);
            settle();
            return true;
        }
        if (cmd == "shot") {
            if (w.size() != 2) return fail(error, "usage: shot SHOT");
            shot_(nullptr, w[1]);
            shots_ = true;
            return true;
        }
        if (cmd == "grab") {
            if (w.size() < 2 || w.size() > 3) return fail(error, "usage: grab WINDOW [SHOT]");
            settle();
            QWidget* part = window_.widget(w[1]);
            // Parts the game does not name (the strip of every market) by their object name.
            if (!part) part = window_.findChild<QWidget*>(w[1]);
            if (part && part != &window_) {
                // A part of the main window whole, even where the table
                // scrolls it out of sight on a small screen.
                shot_(part, w.value(2, w[1]));
                return true;
            }
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible() && top->objectName() == w[1]) {
                    shot_(top, w.value(2, w[1]));
                    return true;
                }
            return fail(error, "no window " + w[1] + " is shown");
        }
        if (cmd == "fill" || cmd == "press") {
            QWidget* shown = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible() && top->objectName() == w.value(1)) shown = top;
            QWidget* part = shown ? shown->findChild<QWidget*>(w.value(2)) : nullptr;
            if (w.size() < 3 || !part) return fail(error, "usage: fill WINDOW FIELD TEXT | press WINDOW BUTTON");
            const QString text = w.mid(3).join(' ');
            if (auto* b = qobject_cast<QAbstractButton*>(part); b && cmd == "press") b->click();
            else if (auto* combo = qobject_cast<QComboBox*>(part); combo && combo->findText(text) >= 0)
                combo->setCurrentIndex(combo->findText(text));
            else if (auto* box = qobject_cast<QLineEdit*>(part)) {
                box->selectAll();
                QTest::keyClicks(box, text);
            } else return fail(error, "cannot " + cmd + " " + w[2]);
            settle();
            return true;
        }
        if (cmd == "mouse") {
            auto* chart = qobject_cast<ui::GameChartView*>(window_.widget(w.value(1)));
            if (w.size() != 4 || !chart || !chart->canvas()) return fail(error, "usage: mouse CHART X Y");
            settle();
            const QWidget* view = chart->canvas()->viewport();
            chart->canvas()->showCrosshair(
                QPoint(view->width() * w[2].toInt() / 100, view->height() * w[3].toInt() / 100));
            return true;
        }
        if (cmd == "chartkeys") {
            // Keys to a chart pane, as a player who has given it the keyboard presses them.
            auto* chart = qobject_cast<ui::GameChartView*>(window_.widget(w.value(1)));
            if (w.size() < 3 || !chart) return fail(error, "usage: chartkeys CHART KEY ...");
            for (const QString& name : w.mid(2)) {
                const QKeySequence seq(name);
                if (seq.isEmpty()) return fail(error, "no key " + name);
                QTest::keyClick(chart, seq[0].key());
            }
            settle();
            return true;
        }
        if (cmd == "open") {
            bool ok = false;
            const int row = w.value(2).toInt(&ok);
            auto* grid = qobject_cast<QAbstractItemView*>(window_.widget(w.value(1)));
            if (w.size() != 3 || !ok || !grid) return fail(error, "usage: open GRID ROW");
            if (row < 0 || row >= grid->model()->rowCount()) return fail(error, "no row " + w[2]);
            grid->setFocus();
            grid->setCurrentIndex(grid->model()->index(row, 0));
            QTest::keyClick(grid, Qt::Key_Return);
            return true;
        }
        return fail(error, "unknown command " + cmd);
    }

    bool tookShots() const { return shots_; }

private:
    static bool fail(QString* error, const QString& message) {
        *error = message;
        return false;
    }

    static void warnUnavailable(const QString& key) {
        QTextStream(stderr) << "ui_screens: " << key << " is not available, ignored\n";
    }

    bool press(const QString& key, QString* error) {
        auto* b = qobject_cast<QPushButton*>(window_.widget(key));
        if (!b) return fail(error, "no button " + key);
        if (!b->isVisible() || !b->isEnabled()) warnUnavailable(key);
        else QTest::mouseClick(b, Qt::LeftButton);
        return true;
    }

    bool click(QString name, int index, QString* error) {
        static const QRegularExpression indexed(QStringLiteral("^(.+)_(\\d+)$"));
        if (const auto m = indexed.match(name); m.hasMatch() && index < 0 && !window_.control(name)) {
            name = m.captured(1);
            index = m.captured(2).toInt();
        }
        if (name == "cboCommodity") {
            auto* combo = static_cast<QComboBox*>(window_.widget(name));
            if (index < 0 || index >= combo->count()) return fail(error, "no entry " + QString::number(index));
            combo->setCurrentIndex(index);
            emit combo->activated(index);
            return true;
        }
        const QString key = index < 0 ? name : itemKey(name, index);
        if (window_.widget(key)) return press(key, error);
        QAction* a = window_.action(key);
        if (!a) return fail(error, "unknown control " + key);
        if (!a->isEnabled() || !a->isVisible()) {
            warnUnavailable(key);
        } else if (a->menu()) {
            // An entry that opens a submenu acts when the submenu opens.
            emit a->menu()->aboutToShow();
        } else {
            a->trigger();
        }
        return true;
    }

    QLineEdit* units() const { return static_cast<QLineEdit*>(window_.widget(QStringLiteral("inputUnits"))); }

    bool type(const QString& text) {
        units()->selectAll();
        QTest::keyClick(units(), Qt::Key_Backspace);
        QTest::keyClicks(units(), text);
        return true;
    }

    bool key(Qt::Key k) {
        QTest::keyClick(units(), k);
        return true;
    }

    ui::Kestrow& window_;
    ShootingDialogs& dialogs_;
    Shooter shot_;
    bool shots_ = false;
    QSize startSize_;
};

} // namespace

// The debrief of "Oil, Summer 1990" played on the database: three contracts
// bought in its first week and sold in September.
ScenarioDebrief sampleDebrief(const QString& dbPath) {
    const Scenario& s = *findScenario(QStringLiteral("Oil, Summer 1990"));
    MarketDatabase db;
    ReviewRecord r;
    QList<DailyRow> after;
    if (db.open(dbPath)) {
        const QList<DailyRow> days = db.dailyRows(commodityId(s.watch), s.start, s.start.addMonths(3).addDays(-1));
        for (const DailyRow& d : days) {
            ReviewPeriod p;
            p.date = d.date;
            p.prices[static_cast<size_t>(index(s.watch))] = d.close;
            r.periods.push_back(p);
        }
        const auto fill = [&](int period, float units) {
            if (period <= static_cast<int>(r.periods.size()))
                r.trades.append(
                    {static_cast<int>(r.trades.size()) + 1, period, s.watch, units > 0 ? Side::Buy : Side::Sell, false,
                     units,
                     static_cast<float>(
                         r.periods[static_cast<size_t>(period - 1)].prices[static_cast<size_t>(index(s.watch))])});
        };
        fill(4, 3);
        fill(45, -3);
        if (!r.periods.empty())
            after = db.dailyRows(commodityId(s.watch), r.periods.back().date.addDays(1),
                                 r.periods.back().date.addDays(ScenarioDebrief::kDays * 2));
    }
    return scenarioDebrief(s, r, after, briefFacts(s.name)).value_or(ScenarioDebrief{});
}

// A few made-up finished games for the Past Games window.
// Made-up prices of a quarter with a dozen trades in Oil and Gold, valued
// by the account's own rules, for the review window.
ReviewRecord sampleReview() {
    ReviewRecord r;
    r.level = Level::Expert;
    r.startingCapital = 100000;
    const std::array<std::tuple<int, Market, float>, 12> fills{{{3, Market::Oil, 5},
                                                                {8, Market::Oil, -3},
                                                                {11, Market::Gold, -4},
                                                                {15, Market::Oil, -2},
                                                                {19, Market::Gold, 4},
                                                                {22, Market::Oil, 6},
                                                                {30, Market::Oil, -6},
                                                                {33, Market::Gold, 10},
                                                                {41, Market::Gold, -6},
                                                                {44, Market::Oil, -4},
                                                                {52, Market::Oil, 4},
                                                                {58, Market::Gold, -4}}};
    Account account(Level::Expert);
    int number = 0;
    for (int p = 1; p <= 63; ++p) {
        ReviewPeriod period;
        period.date = QDate(1990, 7, 2).addDays((p - 1) * 7 / 5);
        period.prices = {18 + 6 * std::sin(p / 9.0) + p * 0.08, 360 + 25 * std::cos(p / 7.0), 95.5, 350, 74, 6.2};
        for (const auto& [day, market, units] : fills) {
            if (day != p) continue;
            const double price = std::round(period.prices[static_cast<size_t>(index(market))] * 100) / 100;
            account.applyFill(market, units, price);
            r.trades.append(
                {++number, p, market, units > 0 ? Side::Buy : Side::Sell, false, units, static_cast<float>(price)});
        }
        account.revalue(period.prices);
        period.accountValue = account.accountValue();
        r.periods.push_back(period);
    }
    return r;
}

PastGamesReport samplePastGames() {
    struct Row {
        Level level;
        DataMode data;
        GameLength length;
        int year, trades;
        double score;
        GameEnding ending;
        const char* verdict;
    };
    const Row rows[] = {
        {Level::Expert, DataMode::Daily, GameLength::Quarter, 1994, 14, 23450.0, GameEnding::LengthReached,
         "Do Not Pass Go, Move Immediately to Wall Street!"},
        {Level::Novice, DataMode::Daily, GameLength::Month, 1990, 3, -1234.5, GameEnding::EndedByPlayer, ""},
        {Level::Expert, DataMode::Tick, GameLength::Month, 1997, 22, -100000.0, GameEnding::BlownOut,
         "You Blew Out of the Game, by Losing All of Your Money!"},
        {Level::Novice, DataMode::Daily, GameLength::Year, 1986, 41, 812.25, GameEnding::LengthReached,
         "Satisfactory Trading"},
        {Level::Expert, DataMode::Daily, GameLength::Year, 1992, 6, 1500.0, GameEnding::LengthReached, "Great Job!"},
    };
    PastGamesReport r;
    int n = 0;
    for (const Row& row : rows) {
        PastGame g;
        g.playedAt = QDateTime(QDate(2026, 11, 20).addDays(n), QTime(19 + n % 3, 5 * n));
        g.periodStart = QDate(row.year, 1, 3);
        g.periodEnd =
            g.periodStart.addMonths(row.length == GameLength::Month     ? 1
                                    : row.length == GameLength::Quarter ? 3
                                                                        : 12)
                .addDays(-3);
        g.level = row.level;
        g.dataMode = row.data;
        g.length = row.length;
        g.trades = row.trades;
        g.score = row.score;
        g.ending = row.ending;
        g.verdict = QString::fromLatin1(row.verdict);
        if (n % 3 == 1) g.scenario = scenarios()[static_cast<size_t>(n) % scenarios().size()].name;
        g.rules = n % 2 ? RuleSet::Trainer : RuleSet::Classic;
        r.games.insert(r.games.begin(), g);
        ++n;
    }
    r.best = bestScores(r.games);
    return r;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    pellucar::ui::setUpLook();
    QCommandLineParser p;
    const QStringList valued{"db",      "out",  "prefix", "level",  "data", "year", "month",
                             "forward", "hold", "length", "script", "news", "rules"};
    for (const QString& o : valued) p.addOption(QCommandLineOption(o, o, o));
    p.addOption(QCommandLineOption("no-game"));
    p.addOption(QCommandLineOption("show-all"));
    p.addOption(QCommandLineOption("sample-charts"));
    p.addOption(QCommandLineOption("windows"));
    p.addOption(QCommandLineOption("menu", "menu", "menu"));
    p.process(app);

    QTextStream out(stdout);
    QStringList script;
    if (p.isSet("script")) {
        QFile f(p.value("script"));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            QTextStream(stderr) << "ui_screens: cannot read " << p.value("script") << "\n";
            return 2;
        }
        script = QString::fromUtf8(f.readAll()).split('\n');
    }

    ShootingDialogs dialogs;
    dialogs.setup.level = p.value("level").isEmpty() ? "Expert" : p.value("level");
    dialogs.setup.data = p.value("data").isEmpty() ? "Daily" : p.value("data");
    dialogs.setup.length = p.value("length").isEmpty() ? "Quarter" : p.value("length");
    dialogs.setup.year = p.value("year").isEmpty() ? 1990 : p.value("year").toInt();
    dialogs.setup.month = p.value("month").isEmpty() ? 1 : p.value("month").toInt();
    if (p.isSet("news")) dialogs.setup.news = p.value("news");
    if (p.isSet("rules")) dialogs.setup.rules = p.value("rules");
    SystemRandom random(7);
    Game game(dialogs, random, p.value("db"));
    // Save and Resume as the program offers them, in a folder of this run.
    QTemporaryDir saves;
    game.setSaveFolder(saves.path());
    ui::Kestrow window(game, dialogs);
    dialogs.setMainWindow(&window);
    window.show();
    window.activateWindow();
    window.startUp();

    const QString dir = p.value("out");
    QDir().mkpath(dir);
    const QString name = p.value("prefix").isEmpty() ? "shot" : p.value("prefix");
    const QString prefix = p.value("prefix").isEmpty() ? QString() : name + "_";
    auto save = [&](const QPixmap& picture, const QString& file, const QWidget* w) {
        picture.save(dir + "/" + file);
        out << dir << "/" << file << " " << w->width() << "x" << w->height() << "\n";
        out.flush();
    };
    dialogs.saveWindow = [&](QDialog* d) { save(framed(d), prefix + d->property("shotFile").toString(), d); };
    auto shootAll = [&](QWidget* target, const QString& shot) {
        const ui::Scheme current = dialogs.colors().scheme();
        const QWidget* focus = QApplication::focusWidget();
        out << "focus: " << (focus ? focus->objectName() : QStringLiteral("(none)")) << "\n";
        for (const auto& [scheme, label] : allSchemes()) {
            dialogs.chooseScheme(scheme);
            // The help viewer keeps the desktop's look; the game's windows
            // take the scheme as they do when they open.
            if (qobject_cast<QDialog*>(target)) dialogs.colors().applyToDialog(target);
            settle();
            const QString file = shot + "_" + label + ".png";
            if (target) save(target->isWindow() ? framed(target) : target->grab(), file, target);
            else save(window.grab(), file, &window);
        }
        dialogs.chooseScheme(current);
        if (qobject_cast<QDialog*>(target)) dialogs.colors().applyToDialog(target);
    };

    if (!p.isSet("no-game")) {
        window.action(QString::fromLatin1(keys::kNewGame))->trigger();
        auto* forward = qobject_cast<QPushButton*>(window.widget(QString::fromLatin1(keys::kForward)));
        for (int i = 0; i < p.value("forward").toInt(); ++i) forward->click();
    }
    ScriptPlayer player(window, dialogs, [&](QWidget* w, const QString& shot) { shootAll(w, prefix + shot); });
    for (int i = 0; i < script.size() && !game.ended(); ++i) {
        QString error;
        if (!player.execute(script[i], &error)) {
            QTextStream(stderr) << "ui_screens: line " << i + 1 << ": " << error << "\n";
            return 2;
        }
    }
    for (const QString& line : dialogs.transcript) out << line << "\n";
    if (game.ended()) return game.exitCode();
    if (p.isSet("show-all")) {
        for (const ControlSpec& ctl : mainWindowControls()) {
            QWidget* w = window.widget(ctl.key);
            if (!w || w == &window || ctl.kind == ControlKind::Grid) continue;
            w->setVisible(true);
            w->setEnabled(true);
        }
        auto set = [&](const char* k, const QString& t) {
            if (auto* l = qobject_cast<QLabel*>(window.widget(k))) l->setText(t);
            if (auto* b = qobject_cast<QPushButton*>(window.widget(k))) b->setText(t);
        };
        set("lblTraderInput", "Trader Input: (Select Security)");
        set("promptUnits", "Number of Contracts to Sell: ");
        set("lblorderverify", "Is this order correct? Sell 1,000 Soybean @ $6.1225");
        set("lblMaxSelected", "Oil 100 / Gold 100");
        set("lblTBondCurrMark", "$118 16/32 +8/32");
        set("lblSoybeanCurrMark", "$6.12 1/4   -12.5");
        set("lblEq", "$-1,234,567.89");
        set("lblOilPos", "-1,000");
    }
    if (p.isSet("sample-charts")) {
        // Thirty made-up trading days of Oil with two trades, drawn as
        // candles on the left and the moving average on the right.
        auto md = std::make_unique<MarketData>();
        for (int i = 0; i < 30; ++i) {
            DailyRow r;
            r.date = QDate(1990, 1, 2).addDays(i + 2 * (i / 5));
            const double c = 20 + 2 * std::sin(i / 4.0) + i * 0.05;
            r.open = static_cast<float>(c - 0.2);
            r.high = static_cast<float>(c + 0.4);
            r.low = static_cast<float>(c - 0.5);
            r.close = static_cast<float>(c);
            md->series[3].rows << r;
        }
        charts::ChartInputs in;
        in.market = md.get();
        in.periodIndex = 30;
        in.fills = {{8, 19.6, true, false}, {20, 21.0, false, true}};
        const charts::ChartPair pair = charts::composeCharts(in);
        static_cast<ui::GameChartView*>(window.widget("GraphLeft"))->setChartData(pair.left);
        static_cast<ui::GameChartView*>(window.widget("GraphRight"))->setChartData(pair.right);
    }
    if (!player.tookShots()) {
        settle();
        const QWidget* focus = window.focusWidget();
        out << "focus: " << (focus ? focus->objectName() : QStringLiteral("(none)")) << "\n";
        save(window.grab(), name + "_design.png", &window);
        for (const auto& [scheme, label] : allSchemes().mid(1)) {
            dialogs.chooseScheme(scheme);
            settle();
            save(window.grab(), name + "_" + label + ".png", &window);
        }
    }
    if (p.isSet("windows")) {
        GameSummary summary{"Game Over",   "Do Not Pass Go, Move Immediately to Wall Street!",
                            "$12,345.00",  "$-1,234.50",
                            "$11,110.50",  "$120.00",
                            false,         true,
                            sampleReview()};
        TimePeriodForm form;
        form.reset(Level::Expert, DataMode::Tick, GameLength::Quarter, NewsOption::Annual);
        QString story;
        for (int i = 0; i < 40; ++i) story += "The Federal Reserve left its target rate unchanged today. ";
        QList<QDialog*> windows{
            new ui::NotificationWindow("Trader Notification",
                                       "Margin Call!  You must deposit funds or reduce positions.", 0),
            new ui::AboutWindow,
            new ui::CustomWindow,
            new ui::DisclaimerWindow(story),
            new ui::TimePeriodWindow(form),
            new ui::LevelSelectedWindow({"Expert", "One Quarter", "Annual Reports", "Daily"}),
            new ui::CommoditySelectWindow(3),
            new ui::NewsWindow("Fed Holds Rates", story.left(300), 1400, false),
            new ui::NewsWindow("Fed Holds Rates Steady", story, 5000, true),
            new ui::TradeConfirmationWindow("Transaction Order Filled: 3 Gold Sold @  $385.20"),
            new ui::GameOverWindow(summary),
            new ui::EndOfGameWindow(summary),
            new ui::CommissionWindow(
                {"No commissions are charged to the Trader's Account during the Game.  The following "
                 "displays the final score after a $25.00 per trade commission is charged to the "
                 "Trader's Account.",
                 "$500.00", "$300.00", "$200.00"}),
            new ui::ScreenColorWindow(dialogs.colors().scheme(), nullptr),
            new ui::LoadingWindow,
            new ui::PastGamesWindow(samplePastGames()),
            new ui::GameStatisticsWindow(samplePastGames().games),
            new ui::GameReviewWindow(sampleReview(), "Game Review"),
            new ui::ScenariosWindow({scenarioChoices(samplePastGames().games), {}}),
            new ui::DebriefWindow(sampleDebrief(p.value("db"))),
            new ui::ConfirmWindow("Resume Saved Game", "Resume the saved game?  The game in progress will be lost.")};
        int n = 0;
        for (QDialog* d : windows) {
            // Sized and placed as the game opens its windows.
            ui::placeDialog(d, &window);
            d->show();
            shootAll(d, name + "_" + QString::number(n++) + "_" + d->objectName());
            delete d;
        }
    }
    if (!p.value("menu").isEmpty()) {
        if (auto* m = window.findChild<QMenu*>(p.value("menu")))
            QTimer::singleShot(300, m, [m, &window] { m->popup(window.mapToGlobal(QPoint(60, 20))); });
    }
    if (p.isSet("hold")) {
        // exit, not quit: quit would ask the main window to close, which the game
        // answers with its end-of-game window.
        QTimer::singleShot(p.value("hold").toInt() * 1000, &app, [] { QApplication::exit(0); });
        return app.exec();
    }
    return 0;
}
