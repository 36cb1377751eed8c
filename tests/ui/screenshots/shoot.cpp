// ui_screens --db FILE --out DIR [--name NAME] [--level Novice|Expert]
//            [--data Daily|Tick] [--year YYYY] [--month M] [--forward N]
//            [--no-game] [--hold SECONDS] [--show-all] [--sample-charts]
//            [--menu KEY] [--windows]
// Starts the game with a scripted player, optionally sets up a game and
// presses Forward N times, then saves the main window in the design colours
// and in each colour scheme: DIR/NAME_design.png, NAME_black.png, ...
// With --hold the window stays up that long after the last scheme, for a
// screen grab from outside. --show-all shows every control at once and
// --sample-charts draws made-up chart data, to check that nothing overlaps
// or clips whatever the game shows. --menu opens that menu before the
// external grab; --windows also saves each of the game's small windows
// (in the last scheme) as DIR/NAME_frmXxx.png.
#include "scripted_dialogs.h"

#include "app/game.h"
#include "charts/chart_data.h"
#include "market/market_data.h"
#include "common/random.h"
#include "app/controls.h"
#include "ui/chart_view.h"
#include "ui/kestrow.h"

#include "ui/windows.h"

#include <QLabel>
#include <QMenu>
#include <cmath>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QPushButton>
#include <QStyleFactory>
#include <QTextStream>
#include <QThread>
#include <QTimer>

using namespace pellucar;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QCommandLineParser p;
    const QStringList valued{"db", "out", "name", "level", "data", "year", "month", "forward", "hold", "length"};
    for (const QString& o : valued) p.addOption(QCommandLineOption(o, o, o));
    p.addOption(QCommandLineOption("no-game"));
    p.addOption(QCommandLineOption("show-all"));
    p.addOption(QCommandLineOption("sample-charts"));
    p.addOption(QCommandLineOption("windows"));
    p.addOption(QCommandLineOption("menu", "menu", "menu"));
    p.process(app);

    uitest::ScriptedDialogs dialogs;
    dialogs.setup.level = p.value("level").isEmpty() ? "Expert" : p.value("level");
    dialogs.setup.data = p.value("data").isEmpty() ? "Daily" : p.value("data");
    dialogs.setup.length = p.value("length").isEmpty() ? "Quarter" : p.value("length");
    dialogs.setup.year = p.value("year").isEmpty() ? 1990 : p.value("year").toInt();
    dialogs.setup.month = p.value("month").isEmpty() ? 1 : p.value("month").toInt();
    SystemRandom random(7);
    Game game(dialogs, random, p.value("db"));
    ui::Kestrow window(game, dialogs);
    dialogs.setMainWindow(&window);
    window.show();
    window.startUp();
    QTextStream out(stdout);
    if (!p.isSet("no-game")) {
        window.action("mnuNewGame")->trigger();
        auto* forward = qobject_cast<QPushButton*>(window.widget("btnChangePeriod"));
        for (int i = 0; i < p.value("forward").toInt(); ++i) forward->click();
    }
    for (const QString& line : dialogs.transcript) out << line << "\n";
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
    const QString dir = p.value("out");
    QDir().mkpath(dir);
    const QString name = p.value("name").isEmpty() ? "shot" : p.value("name");
    auto shoot = [&](const QString& scheme) {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        const QString file = dir + "/" + name + "_" + scheme + ".png";
        window.grab().save(file);
        out << file << " " << window.width() << "x" << window.height() << "\n";
        out.flush();
    };
    shoot("design");
    const QList<std::pair<ui::Scheme, QString>> schemes{
        {ui::Scheme::Black, "black"}, {ui::Scheme::Gray, "gray"}, {ui::Scheme::Monochrome, "mono"}};
    for (const auto& [scheme, label] : schemes) {
        dialogs.chooseScheme(scheme);
        shoot(label);
    }
    if (p.isSet("windows")) {
        GameSummary summary{"Game Over", "Do Not Pass Go, Move Immediately to Wall Street!", "$12,345.00", "$-1,234.50",
                            "$11,110.50", "$120.00", false, true};
        TimePeriodForm form;
        form.reset("Expert", "Tick", TimePeriodForm::Length::Quarter, "Annual");
        QString story;
        for (int i = 0; i < 40; ++i) story += "The Federal Reserve left its target rate unchanged today. ";
        QList<QDialog*> windows{
            new ui::NotificationWindow("Trader Notification", "Margin Call!  You must deposit funds or reduce positions.", 0),
            new ui::AboutWindow, new ui::CustomWindow, new ui::DisclaimerWindow(story),
            new ui::TimePeriodWindow(form), new ui::LevelSelectedWindow({"Expert", "One Quarter", "Annual Reports", "Daily"}),
            new ui::CommoditySelectWindow(3), new ui::NewsWindow("Fed Holds Rates", story.left(300), 1400, false),
            new ui::NewsWindow("Fed Holds Rates Steady", story, 5000, true),
            new ui::TradeConfirmationWindow("Transaction Order Filled: 3 Gold Sold @  $385.20"),
            new ui::GameOverWindow(summary), new ui::EndOfGameWindow(summary),
            new ui::CommissionWindow({"No commissions are charged to the Trader's Account during the Game.  The following "
                                      "displays the final score after a $25.00 per trade commission is charged to the "
                                      "Trader's Account.", "$500.00", "$300.00", "$200.00"}),
            new ui::ScreenColorWindow(dialogs.colors().scheme(), nullptr), new ui::LoadingWindow};
        int n = 0;
        for (QDialog* d : windows) {
            dialogs.colors().applyToDialog(d);
            d->show();
            for (int i = 0; i < 3; ++i) QApplication::processEvents();
            const QString file = dir + "/" + name + "_" + QString::number(n++) + "_" + d->objectName() + ".png";
            d->grab().save(file);
            out << file << " " << d->width() << "x" << d->height() << "\n";
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
