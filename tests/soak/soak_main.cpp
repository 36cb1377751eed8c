// pellucar-soak: a seeded random player on the real market database, every rule of game_checks.h checked after every
// action. Exit code 0 when no rule broke, 1 when one did, 2 for a bad command line.
#include "app/dialogs/scripted_dialogs.h"
#include "app/game/game.h"
#include "app/game/period_ranges.h"
#include "app/record/past_games.h"
#include "app/record/saved_game.h"
#include "app/state/clock.h"
#include "app/view/control_table.h"
#include "common/random.h"
#include "game_checks.h"
#include "support/fill_model.h"
#include "support/game_harness.h"
#include "support/game_rules.h"
#include "support/random_player.h"
#include "trading/contract_terms.h"
#include "trading/trade_report.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <utility>

using namespace pellucar;

namespace {

using test::RandomPlayer;

// The parts of a resumed game that differ from the game saved, by owner. What a save does not keep, or what the
// rules write again before they read it, is left out: the ticks read ahead of the period, the charts' style, panes
// and view (a save keeps the menus' classic chart choices), the length a tick game's end window sets aside
// until the next press, and the markets a Novice does not trade (a Novice tick game may reuse the ticks of all
// six that an Expert game of the same period read before it).
QStringList differingParts(const GameState& resumed, const GameState& saved) {
    const auto kept = [](const GameState& s) {
        GameState k = test::rulesOf(s);
        k.market.tickDays.clear();
        k.market.lastTickStart = k.market.lastTickEnd = QDate();
        k.chart = *charts::ChartOptions::fromChoices(s.chart.choices());
        k.prices.current = k.prices.previous = PriceRecord{};
        if (s.settings.level == Level::Novice)
            for (int p = 0; p < kPriceRecordCount; ++p) k.prices.record(p) = PriceRecord{k.prices.record(p).oil};
        return k;
    };
    const GameState a = kept(resumed), b = kept(saved);
    const GameClock &x = a.clock, &y = b.clock;
    QStringList d;
    const auto part = [&d](const char* name, bool same) {
        if (!same) d << QString::fromLatin1(name);
    };
    part("settings", a.settings == b.settings && a.levelSelected == b.levelSelected);
    part("practice", a.practice == b.practice && a.rewinds == b.rewinds);
    part("clock", x.periodIndex() == y.periodIndex() && x.dataMode() == y.dataMode() &&
                      x.startDate() == y.startDate() && x.endDate() == y.endDate() && x.started() == y.started() &&
                      x.endOfData() == y.endOfData() && x.tradingDayCount() == y.tradingDayCount() &&
                      x.calendarPosition() == y.calendarPosition() &&
                      (x.dataMode() == DataMode::Tick || x.lengthPeriods() == y.lengthPeriods()));
    part("market", a.market == b.market);
    part("prices", a.prices.records == b.prices.records);
    part("account", a.desk.account == b.desk.account);
    part("trades", a.desk.trades == b.desk.trades);
    part("order", a.desk.pending == b.desk.pending && a.desk.state == b.desk.state);
    part("commissions", a.desk.commissionTotal == b.desk.commissionTotal);
    part("working orders", a.desk.orders == b.desk.orders && a.desk.decisions == b.desk.decisions);
    part("chart", a.chart == b.chart);
    part("news", a.news == b.news && a.background == b.background && a.hints == b.hints);
    return d;
}

// Each window is answered by the dice as it opens, so no answer is left over.
class SoakDialogs : public ScriptedDialogs {
public:
    SoakDialogs(RandomPlayer& dice, bool trainer) : dice_(dice), trainer_(trainer) {}

    // Told of each window at a game's end as it opens, with whether it shows the commissions.
    std::function<void(const GameSummary&, bool)> onSummary;

    GameOverChoice gameOver(const GameSummary& s) override {
        onSummary(s, false);
        queueAnswer(dice_.chance(0.15) ? QStringLiteral("btnEnd") : QStringLiteral("btnPlayAgain"));
        return ScriptedDialogs::gameOver(s);
    }
    EndOfGameChoice endOfGame(const GameSummary& s) override {
        onSummary(s, true);
        const int r = dice_.upTo(10);
        queueAnswer(r >= 8 ? "btnExit" : r >= 5 && s.restartEnabled ? "btnRestartGame" : "btnContinue");
        return ScriptedDialogs::endOfGame(s);
    }
    bool confirm(const QString& title, const QString& message) override {
        queueAnswer(dice_.chance(0.8) ? QStringLiteral("btnYes") : QStringLiteral("btnNo"));
        return confirmed_ = ScriptedDialogs::confirm(title, message);
    }
    // The answer to the last question asked (Yes when none was).
    bool confirmed() const { return confirmed_; }
    void clearConfirmed() { confirmed_ = true; }
    bool timePeriod(TimePeriodForm& form) override {
        const bool tick = dice_.chance(0.5);
        queueSetup({
            {"level", dice_.chance(0.3) ? "Novice" : "Expert"},
            {"data", tick ? "Tick" : "Daily"},
            {"length", dice_.pick(QList<QString>{"Month", "Quarter", "Year"})},
            {"news", dice_.chance(0.5) ? "Annual" : "Daily"},
            {"period", dice_.chance(0.4) ? "random" : "select"},
            {"month", QString::number(dice_.between(1, 12))},
            // Now and then a year with no tick data at all.
            {"year",
             QString::number(tick && dice_.chance(0.95) ? dice_.between(1996, 1997) : dice_.between(1984, 1997))},
            {"rules", trainer_ ? "Trainer" : "Classic"},
        });
        queueAnswer(dice_.chance(0.04) ? QStringLiteral("cmdReset") : QStringLiteral("cmdBegin"));
        return ScriptedDialogs::timePeriod(form);
    }
    bool levelSelected(const LevelSummary& s) override {
        queueAnswer(dice_.chance(0.2) ? QStringLiteral("cmdReset") : QStringLiteral("cmdBegin"));
        return ScriptedDialogs::levelSelected(s);
    }
    // Now and then a scenario is chosen: a game begun like one set up.
    std::optional<QString> scenarios(const ScenariosReport& r) override {
        if (dice_.chance(0.6)) queueAnswer(r.choices[dice_.upTo(static_cast<int>(r.choices.size()))].scenario.name);
        return ScriptedDialogs::scenarios(r);
    }
    // A practice or Trainer game goes back to any earlier period, or stays.
    std::optional<int> rewindPeriod(int last) override {
        if (dice_.chance(0.8)) queueAnswer(QString::number(dice_.between(1, last)));
        return ScriptedDialogs::rewindPeriod(last);
    }
    // Most notes asked for are written, so a note reaches the trade report shown.
    std::optional<QString> tradeNote(const QString& trade, const QString& note) override {
        if (dice_.chance(0.7)) queueNote(QStringLiteral("note %1").arg(dice_.upTo(1000)));
        return ScriptedDialogs::tradeNote(trade, note);
    }
    bool disclaimer(const QString& text) override {
        queueAnswer(dice_.chance(0.002) ? QStringLiteral("btnExit") : QStringLiteral("btnClose"));
        return ScriptedDialogs::disclaimer(text);
    }

private:
    RandomPlayer& dice_;
    bool trainer_;
    bool confirmed_ = true;
};

// Follows the working orders of a Trainer game in the independent fill
// model: every decision the game kept is made in the model too, every press
// fills there at the game's ranges, and the fills tried and the orders left
// must agree. A resumed game is followed again from its next new game.
class OrderMirror {
public:
    QStringList check(const GameState& s) {
        if (s.settings.rules != RuleSet::Trainer) return {};
        const QList<OrderDecision>& decisions = s.desk.decisions;
        const QList<TradeRecord>& trades = s.desk.trades.records();
        if (std::exchange(resumed_, false)) {
            following_ = false;
        } else if (decisions.size() < decided_ || s.clock.periodIndex() < period_ || trades.size() < traded_) {
            restart();
        }
        if (!following_) {
            decided_ = decisions.size();
            traded_ = trades.size();
            period_ = s.clock.periodIndex();
            return {};
        }
        QStringList bad;
        for (; traded_ < trades.size(); ++traded_)
            if (trades[traded_].marginCall) model_.cancelMarket(trades[traded_].market);
        for (; decided_ < decisions.size(); ++decided_) {
            const OrderDecision& d = decisions[decided_];
            const OrderRequest& r = d.request;
            switch (d.kind) {
            case OrderDecision::Kind::Place: {
                const int id = model_.place(r.market, r.side == Side::Buy, r.units, r.type, r.price,
                                            r.tif == TimeInForce::ThisPeriod, r.stopLoss, r.target, d.period);
                if (r.type == OrderType::Market) model_.marketEntryFilled(id, r.units, d.period);
                break;
            }
            case OrderDecision::Kind::ChangePrice: model_.changePrice(d.id, d.price, d.period); break;
            case OrderDecision::Kind::ChangeUnits: model_.changeUnits(d.id, d.units, d.period); break;
            case OrderDecision::Kind::Cancel: model_.cancel(d.id); break;
            }
        }
        const int p = s.clock.periodIndex();
        if (p > period_ && s.desk.lastFillPeriod == p) {
            std::map<Market, test::ModelRange> ranges;
            for (Market m : kTradingOrder)
                if (const std::optional<PeriodRange> r = periodRangeOf(s, m))
                    ranges[m] = {r->open, r->high, r->low, r->close};
            std::vector<test::ModelFill> made;
            for (const OrderEvent& e : s.desk.lastOrderEvents)
                if (e.kind == OrderEventKind::Filled || e.kind == OrderEventKind::Refused)
                    made.push_back(
                        {e.order.id, e.order.market, e.price, e.order.units, e.kind == OrderEventKind::Filled});
            const auto takes = [&](int id) {
                return std::any_of(made.begin(), made.end(),
                                   [id](const test::ModelFill& f) { return f.id == id && f.executed; });
            };
            std::vector<test::ModelFill> tried = model_.period(p, ranges, takes);
            // The desk reports each price as the decimal it stands for.
            for (test::ModelFill& f : tried) f.price = readQuote(f.market, f.price);
            if (tried != made) bad << QStringLiteral("period %1's fills are not the fill model's").arg(p);
            fills_ += static_cast<long long>(made.size());
        }
        period_ = p;
        std::vector<std::tuple<int, int, double>> book;
        for (const WorkingOrder& o : s.desk.orders.list()) book.emplace_back(o.id, o.units, o.price);
        if (book != model_.book()) bad << QStringLiteral("the working orders are not the fill model's");
        if (!bad.isEmpty()) following_ = false; // one report per game
        return bad;
    }
    void resumed() { resumed_ = true; }
    // A new game object: followed from its first game, the count of fills kept.
    void restart() {
        const long long checked = fills_;
        *this = OrderMirror();
        fills_ = checked;
    }
    long long fills() const { return fills_; }

private:
    test::FillModel model_;
    qsizetype decided_ = 0, traded_ = 0;
    int period_ = 0;
    bool following_ = true, resumed_ = false;
    long long fills_ = 0;
};

// Units box texts: mostly orders that go through, some at or past the limits, and careless entries.
QString unitsText(RandomPlayer& dice, const Game& game, bool stacking) {
    if (stacking) return QStringLiteral("1");
    const int r = dice.upTo(100);
    if (r < 35) return QString::number(dice.between(1, 5));
    if (r < 60) {
        bool ok = false;
        const int most = game.model().text(QStringLiteral("lblMaxSelected")).remove(',').toInt(&ok);
        const int n = ok && most > 0 ? most + dice.between(-2, 1) : dice.between(1, 20);
        return QString::number(std::max(n, 1));
    }
    if (r < 85) return QString::number(dice.between(1, 1200));
    static const QList<QString> careless{
        "",    "0",  "-3",    "2.5", "abc",           " 7 ",    "1e2",       "0x10", "+4", "1,000",  "nan",
        "inf", "-0", "00012", "1.0", "9999999999999", "410001", "-410001",   "3 4",  "½",  "\u0663", "1e-3",
        "  ",  ".",  "-",     "1.",  "1e400",         "\t5",    "0.0000001", "20000"};
    return dice.pick(careless);
}

// Every button, menu item and chart market, offered or not; the saved-game items have weights of their own. The
// Trainer's items are left to Trainer runs, so a Classic run makes the choices it always made.
const QList<QPair<QString, int>>& anyControl(bool trainer) {
    static const auto list = [](bool withTrainer) {
        QStringList own{"mnuSave", "mnuResume", "mnuPastGames"};
        if (!withTrainer) own += {"mnuStopOnFill", "mnuTrainerCommission", "mnuPractice", "mnuRewind"};
        QList<QPair<QString, int>> l;
        for (const ControlSpec& c : mainWindowControls()) {
            if (c.kind == ControlKind::ComboBox)
                for (int i = 0; i < kMarketCount; ++i) l << qMakePair(c.name, i);
            else if ((c.kind == ControlKind::Button || c.kind == ControlKind::MenuItem) && !own.contains(c.name))
                l << qMakePair(c.name, c.index);
        }
        return l;
    };
    static const QList<QPair<QString, int>> classic = list(false), all = list(true);
    return trainer ? all : classic;
}

class Soak {
public:
    Soak(QString database, std::uint64_t seed, long long faultAt, bool trainer)
        : database_(std::move(database)), seed_(seed), dice_(seed), faultAt_(faultAt), trainer_(trainer) {}

    int run(long long actions) {
        QElapsedTimer timer;
        timer.start();
        newGameObject();
        while (actions_ < actions) {
            if (game_->ended()) newGameObject();
            else act();
            if (actions_ >= faultAt_ && !game_->ended() && game_->state().clock.periodIndex() > 0) {
                // The soak's own test: a lot the trade record does not account for is found.
                faultAt_ = std::numeric_limits<long long>::max();
                step(QStringLiteral("book a stray contract"), [&] { checker_.plantStrayLot(Market::Oil, 1); });
            }
        }
        std::printf("pellucar-soak: seed %llu, %lld actions in %.1f s: %lld games begun in %lld game objects, "
                    "%lld trades, %lld games recorded, %lld violations\n",
                    static_cast<unsigned long long>(seed_), actions_, static_cast<double>(timer.elapsed()) / 1000,
                    gamesBegun_, gameObjects_, trades_, static_cast<long long>(pastGames_.games().size()), violations_);
        std::printf("pellucar-soak: %lld resumed games compared with their saves, %lld rewinds\n", resumes_, rewinds_);
        if (trainer_) std::printf("pellucar-soak: %lld working-order fills checked\n", mirror_.fills());
        std::printf("pellucar-soak: %lld refusal maxima and end-of-game figures worked out and compared\n",
                    checker_.figuresChecked());
        return violations_ == 0 ? 0 : 1;
    }

private:
    void newGameObject() {
        game_.reset();
        dialogs_ = std::make_unique<SoakDialogs>(dice_, trainer_);
        dialogs_->onSummary = [this](const GameSummary& s, bool commissions) {
            late_ << checker_.checkSummary(*game_, s, commissions);
        };
        random_ = std::make_unique<SystemRandom>(seed_ * 1000003 + static_cast<std::uint64_t>(gameObjects_));
        // Every program run shares the record of past games and the saved-games folder.
        game_ = std::make_unique<Game>(*dialogs_, *random_, database_, &pastGames_);
        game_->setSaveFolder(files_.path());
        checker_.restart();
        mirror_.restart();
        ++gameObjects_;
        stacking_ = false;
        step(QStringLiteral("start-up"), [&] { game_->startUp(); });
    }

    bool offered(const QString& key) const { return game_->isActionable(key); }

    void click(const QString& name, int index = -1) {
        const QString what = index < 0 ? name : name + '_' + QString::number(index);
        step(QStringLiteral("click ") + what, [&] { game_->click(name, index); });
    }

    // One action: run it, then check everything it could have touched.
    template <typename F> void step(const QString& what, F&& f) {
        ++actions_;
        recent_.append(what);
        if (recent_.size() > 12) recent_.removeFirst();
        const int rewinds = game_->state().rewinds;
        dialogs_->clearConfirmed();
        f();
        const QStringList lines = dialogs_->transcript();
        dialogs_->clearTranscript();
        for (const QString& l : lines) {
            if (l.startsWith(QLatin1String("frmTradeConfirmation"))) ++trades_;
            // The lot book is full: the stacking player has seen what he came for.
            if (l.startsWith(QLatin1String("frmPlayerNotification: * Trader Notification *"))) stacking_ = false;
        }
        QStringList bad = std::exchange(late_, {});
        // Each save is remembered by its bytes with the game it holds; Game > Resume replaced the game unless a notice
        // said why not or the player kept his, and the game it brought back must be the one saved, field by field.
        const QString saves = savedGamePath(files_.path());
        if (what == QLatin1String("click mnuSave") && lines.contains("frmPlayerNotification: Saved Game | The game "
                                                                     "has been saved."))
            saved_[test::fileBytes(saves)] = game_->state();
        const bool resumed = what == QLatin1String("click mnuResume") &&
                             lines.filter("frmPlayerNotification: Saved Game | ").isEmpty() && dialogs_->confirmed();
        if (resumed) {
            const auto at = saved_.constFind(test::fileBytes(saves));
            if (at == saved_.constEnd()) bad << QStringLiteral("a game was resumed from no save of this run");
            else if (const QStringList parts = differingParts(game_->state(), *at); !parts.isEmpty())
                bad << QStringLiteral("the resumed game is not the game saved: ") + parts.join(QStringLiteral(", "));
            ++resumes_;
        }
        // A rewind replaced the game out of sight, as Resume does.
        const bool rewound = !resumed && !game_->ended() && game_->state().rewinds > rewinds;
        rewinds_ += rewound;
        if (resumed || rewound) {
            checker_.resumed();
            mirror_.resumed();
        }
        if (game_->ended()) {
            if (const QString why = soak::checkProgramEnd(*game_, lines); !why.isEmpty()) bad << why;
        } else {
            bad << reportsShown() << checker_.check(*game_, lines) << mirror_.check(game_->state());
            if (dialogs_->pendingAnswers() != 0) bad << QStringLiteral("a window left its answer unread");
        }
        if (bad.isEmpty()) return;
        violations_ += bad.size();
        if (++printed_ > 20) return; // the first twenty tell enough
        std::fprintf(stderr, "VIOLATION at action %lld (seed %llu, game object %lld):\n", actions_,
                     static_cast<unsigned long long>(seed_), gameObjects_);
        for (const QString& b : bad) std::fprintf(stderr, "  %s\n", qPrintable(b));
        std::fprintf(stderr, "  recent actions: %s\n", qPrintable(recent_.join(QStringLiteral("; "))));
        for (const QString& l : lines) std::fprintf(stderr, "  window: %s\n", qPrintable(l.left(300)));
    }

    // The reports shown are those of the game on the desk.
    QStringList reportsShown() const {
        QStringList bad;
        const PresentationModel& m = game_->model();
        const GameState& s = game_->state();
        const auto timeOf = [&s](int day) {
            if (s.clock.dataMode() != DataMode::Tick) return QStringLiteral("4:00");
            const QString t = traderTickTime(day);
            return t.left(t.indexOf(' '));
        };
        if (m.visible(QStringLiteral("TradeGrid")) &&
            m.at(QStringLiteral("TradeGrid")).grid != tradeReport(s.desk.trades, s.desk.account, timeOf,
                                                                  s.settings.rules == RuleSet::Trainer,
                                                                  &s.desk.journal))
            bad << QStringLiteral("the trade report shown is not the game's on the desk");
        if (m.visible(QStringLiteral("newsgrid")) && m.at(QStringLiteral("newsgrid")).grid != s.news.grid())
            bad << QStringLiteral("the news report shown is not the game's on the desk");
        return bad;
    }

    void act() {
        const GameState& s = game_->state();
        const OrderState desk = s.desk.state;
        if (dice_.chance(0.04)) {
            const auto& [name, index] = dice_.pick(anyControl(trainer_));
            click(name, index);
            return;
        }
        if (s.clock.dataMode() == DataMode::None ||
            (s.clock.periodIndex() == 0 && !offered(QStringLiteral("btnChangePeriod")))) {
            click(QStringLiteral("mnuNewGame"));
            if (!game_->ended() && game_->state().clock.periodIndex() == 0 &&
                offered(QStringLiteral("btnChangePeriod")))
                ++gamesBegun_;
            stacking_ = false;
            return;
        }
        if (desk == OrderState::GetUnits && offered(QStringLiteral("inputUnits"))) {
            const QString text = unitsText(dice_, *game_, stacking_);
            step(QStringLiteral("type '%1'").arg(text), [&] { game_->setText(QStringLiteral("inputUnits"), text); });
            if (game_->ended()) return;
            const bool tab = dice_.chance(0.2);
            step(tab ? "key Tab" : "key Enter",
                 [&] { game_->keyPress(QStringLiteral("inputUnits"), tab ? Key::Tab : Key::Enter); });
            return;
        }
        if (desk == OrderState::CorrOrd && offered(QStringLiteral("btnYes"))) {
            click(dice_.chance(0.8) ? QStringLiteral("btnYes") : QStringLiteral("btnNo"));
            return;
        }
        if (offered(QStringLiteral("btnBuy"))) {
            const int r = dice_.upTo(100);
            const std::optional<Market> m = s.desk.pending.market;
            // A player building up lots adds to the position's side, one lot at a time.
            if (stacking_) click(m && s.desk.account.position(*m) < 0 ? "btnSell" : "btnBuy");
            else click(r < 10 ? "btnHold" : r < 55 ? "btnBuy" : "btnSell");
            return;
        }
        QList<QString> markets;
        for (const char* b : {"btnOil", "btnGold", "btnTBond", "btnSp500", "btnCattle", "btnSoybean"})
            if (desk == OrderState::Trade && offered(b)) markets << b;
        if (!markets.isEmpty()) {
            // Cattle's small margin lets one account hold a hundred lots of it.
            click(stacking_ ? (markets.contains("btnCattle") ? "btnCattle" : markets.first()) : dice_.pick(markets));
            return;
        }
        // A Trainer's working orders, auto-play and the charts' view, on rolls of their own so a Classic run plays as
        // it always did; now and then the game goes back to an earlier period.
        if (trainer_ && s.clock.periodIndex() > 0 && dice_.chance(0.2)) {
            if (offered(QStringLiteral("mnuRewind")) && dice_.chance(0.02)) return click(QStringLiteral("mnuRewind"));
            return orderAction();
        }
        if (trainer_ && dice_.chance(0.05)) return dice_.chance(0.5) ? autoPlay() : moveView();
        // The resting desk; a player building up lots mostly trades.
        const int r = stacking_ && dice_.chance(0.8) ? 500 : dice_.upTo(1000);
        if (r < 380) {
            forward();
        } else if (r < 760) {
            // Now and then a hundred lots, the book's limit: a hundred Cattle lots need half an Expert's capital.
            bool flat = s.settings.level == Level::Expert;
            for (Market m : kTradingOrder) flat = flat && s.desk.account.position(m) == 0;
            if (!stacking_ && flat && dice_.chance(0.05)) stacking_ = true;
            else if (stacking_ && dice_.chance(0.001)) stacking_ = false;
            click(QStringLiteral("btnTrade"));
        } else if (r >= 880 && r < 950) {
            const auto& [name, index] = dice_.pick(anyControl(trainer_));
            if (name.startsWith(QLatin1String("mnu")) || name == QLatin1String("cboCommodity")) click(name, index);
            else forward();
        } else if (r >= 978) { // a run of presses, as a player leaning on Forward
            const int n = dice_.between(2, 25);
            for (int i = 0; i < n && !game_->ended(); ++i) forward();
        } else {
            // The reports and the menu, each below its share of the thousand.
            static const std::pair<int, const char*> kBelow[] = {
                {800, "btnNewsHist"},          {820, "btnCloseNewsHist"}, {860, "btnTradeHist"},
                {880, "btnCloseTradeHistory"}, {954, "mnuEnd"},           {960, "mnuNewGame"},
                {970, "mnuCommission"},        {975, "mnuSave"},          {978, "mnuResume"}};
            const auto* below = std::find_if(std::begin(kBelow), std::end(kBelow), [r](auto b) { return r < b.first; });
            click(QString::fromLatin1(below->second));
        }
    }

    void forward() { click(QStringLiteral("btnChangePeriod")); }

    // Play, then presses until it stops or the player pauses it: a press that leaves it running has played one
    // period.
    void autoPlay() {
        click(QStringLiteral("btnAutoPlay"));
        for (int n = dice_.between(1, 40); n > 0 && !game_->ended() && game_->autoPlay().running(); --n) {
            const int period = game_->state().clock.periodIndex();
            step(QStringLiteral("auto-play press"), [&] {
                game_->autoPlayStep();
                if (!game_->ended() && game_->autoPlay().running() && game_->state().clock.periodIndex() != period + 1)
                    late_ << QStringLiteral("an auto-play press left period %1 for %2")
                                 .arg(period)
                                 .arg(game_->state().clock.periodIndex());
            });
        }
        if (!game_->ended() && game_->autoPlay().running()) click(QStringLiteral("btnAutoPlay"));
    }

    // The charts' wheel, drag or keys: the charts show played rows only, a point for each.
    void moveView() {
        const auto move = static_cast<charts::ViewMove>(dice_.upTo(3));
        const int amount = dice_.between(-60, 60);
        step(QStringLiteral("view %1 %2").arg(static_cast<int>(move)).arg(amount), [&] {
            game_->moveChartView(move, amount);
            const charts::ChartPair& c = game_->charts();
            for (const charts::ChartData* chart : {&c.left, &c.right})
                if (chart->rows.last > game_->state().clock.periodIndex() ||
                    chart->points.size() != chart->rows.count())
                    late_ << QStringLiteral("a chart shows rows %1 to %2 in %3 points at period %4")
                                 .arg(chart->rows.first)
                                 .arg(chart->rows.last)
                                 .arg(chart->points.size())
                                 .arg(game_->state().clock.periodIndex());
        });
    }

    // A working order entered near the market (now and then one no rule takes), or one changed or cancelled.
    void orderAction() {
        const GameState& s = game_->state();
        const std::vector<WorkingOrder> live = s.desk.orders.list();
        const int r = dice_.upTo(100);
        if (r < 60 || live.empty()) {
            const Market m = s.settings.level == Level::Novice || dice_.chance(0.3)
                                 ? Market::Oil
                                 : kTradingOrder[static_cast<size_t>(dice_.upTo(kMarketCount))];
            const double tick = contractTerms(m).tick;
            const double at = nearestTick(m, s.prices.current.get(m));
            OrderRequest o{m, dice_.chance(0.5) ? Side::Buy : Side::Sell,
                           dice_.chance(0.05) ? dice_.between(1, 600) : dice_.between(1, 5)};
            const int type = dice_.upTo(10);
            o.type = type == 0 ? OrderType::Market : type < 6 ? OrderType::Limit : OrderType::Stop;
            const int entry = dice_.between(-6, 6);
            o.price = o.type == OrderType::Market ? 0 : nearestTick(m, at + entry * tick);
            if (dice_.chance(0.03)) o.price += tick / 3; // off the grid
            o.tif = dice_.chance(0.3) ? TimeInForce::ThisPeriod : TimeInForce::UntilCancelled;
            const double sign = o.side == Side::Buy ? 1 : -1, from = o.type == OrderType::Market ? at : o.price;
            if (dice_.chance(0.4)) o.stopLoss = nearestTick(m, from - sign * dice_.between(1, 10) * tick);
            if (dice_.chance(0.4)) o.target = nearestTick(m, from + sign * dice_.between(1, 10) * tick);
            step(QStringLiteral("order %1").arg(marketName(m)), [&] { game_->placeOrder(o); });
            return;
        }
        const WorkingOrder& o = live[static_cast<size_t>(dice_.upTo(static_cast<int>(live.size())))];
        const int id = o.id;
        if (r < 75) {
            const double price = nearestTick(o.market, o.price + dice_.between(-3, 3) * contractTerms(o.market).tick);
            step(QStringLiteral("change %1 price").arg(id), [&] { game_->changeOrderPrice(id, price); });
        } else if (r < 85) {
            const int units = dice_.between(1, 6);
            step(QStringLiteral("change %1 units").arg(id), [&] { game_->changeOrderUnits(id, units); });
        } else {
            step(QStringLiteral("cancel %1").arg(id), [&] { game_->cancelWorkingOrder(id); });
        }
    }

    QString database_;
    QTemporaryDir files_;
    PastGames pastGames_{files_.filePath(QStringLiteral("past-games.sqlite"))};
    std::uint64_t seed_;
    RandomPlayer dice_;
    std::unique_ptr<SoakDialogs> dialogs_;
    std::unique_ptr<SystemRandom> random_;
    std::unique_ptr<Game> game_;
    soak::GameChecker checker_;
    QStringList late_; // found while an action ran, reported with its checks
    OrderMirror mirror_;
    long long actions_ = 0, gamesBegun_ = 0, gameObjects_ = 0, trades_ = 0, violations_ = 0, resumes_ = 0, rewinds_ = 0;
    // Every save of the run by its bytes, with the game it was made of.
    QHash<QByteArray, GameState> saved_;
    QStringList recent_;
    bool stacking_ = false;
    int printed_ = 0;
    long long faultAt_;
    bool trainer_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    long long actions = 1000000;
    long long faultAt = std::numeric_limits<long long>::max();
    std::uint64_t seed = 1;
    bool trainer = false;
    QString database = QCoreApplication::applicationDirPath() + QStringLiteral("/futures.mdb");
    const QStringList args = app.arguments();
    bool ok = args.size() % 2 == 1; // flags and their values
    for (int i = 1; ok && i < args.size(); i += 2) {
        const QString& flag = args[i];
        if (flag == QLatin1String("--actions")) actions = args[i + 1].toLongLong(&ok);
        else if (flag == QLatin1String("--seed")) seed = args[i + 1].toULongLong(&ok);
        else if (flag == QLatin1String("--inject-fault-at")) faultAt = args[i + 1].toLongLong(&ok);
        else if (flag == QLatin1String("--database")) database = args[i + 1];
        else if (flag == QLatin1String("--rules")) {
            trainer = args[i + 1] == QLatin1String("Trainer");
            ok = trainer || args[i + 1] == QLatin1String("Classic");
        } else ok = false;
    }
    if (!ok || actions <= 0) {
        std::fprintf(stderr, "usage: pellucar-soak [--actions N] [--seed S] [--database PATH] [--inject-fault-at N] "
                             "[--rules Classic|Trainer]\n");
        return 2;
    }
    if (!QFileInfo::exists(database)) {
        std::fprintf(stderr, "pellucar-soak: no market database at %s\n", qPrintable(database));
        return 2;
    }
    return Soak(database, seed, faultAt, trainer).run(actions);
}
