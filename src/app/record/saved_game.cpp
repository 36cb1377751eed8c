#include "app/record/saved_game.h"
#include "app/record/scenarios.h"

#include "app/state/game_state.h"
#include "common/outside_files.h"
#include "news/hints.h"
#include "news/news_release.h"
#include "trading/contract_terms.h"
#include "trading/order_limits.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace pellucar {

namespace {

constexpr char kMagic[] = "PLCRSAVE";
constexpr qsizetype kMagicSize = 8;
constexpr qsizetype kHeaderSize = kMagicSize + 4 + 4;
constexpr qsizetype kDigestSize = 32;
// Every number of the payload is written the same way whatever the build:
// big-endian, floats as the doubles they widen to exactly.
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;

QByteArray digest(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256); }

// Reads a payload, remembering whether anything read was out of place:
// every size and enum value from the file is checked before it is used.
struct In {
    QDataStream& s;
    bool bad = false;

    template <typename T> T get() {
        T v{};
        s >> v;
        return v;
    }
    bool flag() { return get<bool>(); }
    qint32 number() { return get<qint32>(); }
    // A count of entries that follow, at most `max`.
    int count(int max) {
        const qint32 n = number();
        if (n < 0 || n > max) bad = true;
        return bad ? 0 : n;
    }
    // An enum stored as its value 0..last.
    template <typename E> E choice(E last) {
        const qint32 v = number();
        if (v < 0 || v > static_cast<qint32>(last)) bad = true;
        return bad ? E{} : static_cast<E>(v);
    }
    // A text of at most `max` characters, read here rather than by
    // QDataStream, which would reserve whatever length the file claims
    // before reading it.
    QString text(int max) {
        const quint32 bytes = get<quint32>();
        if (bytes == 0xFFFFFFFFu) return {};
        if (bytes % 2 != 0 || bytes / 2 > quint32(max) || bytes > s.device()->bytesAvailable()) bad = true;
        if (failed()) return {};
        QString t(static_cast<qsizetype>(bytes / 2), Qt::Uninitialized);
        for (QChar& c : t) c = QChar(get<quint16>());
        return t;
    }
    bool failed() const { return bad || s.status() != QDataStream::Ok; }
};

template <typename E> void put(QDataStream& s, E e) { s << static_cast<qint32>(e); }

template <typename E> void putOptional(QDataStream& s, const std::optional<E>& e) {
    s << static_cast<qint32>(e ? static_cast<qint32>(*e) : -1);
}

// The most periods of any game: a daily game continued to 366 days, or a
// quarter of tick days at six periods a day.
constexpr int kMostDailyPeriods = 366;
constexpr int kMostTickPeriods = kMostGamePeriods;
// More decisions on working orders than a game of fills could need.
constexpr int kMostDecisions = 100000;
// The longest text kept of the units box or the chart's combo box.
constexpr int kMostText = 32;
// More rewinds than anyone plays through.
constexpr int kMostRewinds = 1000000;
// The longest note read: longer than the journal keeps, so that a note too
// long is refused with its reason, not as a damaged file.
constexpr int kMostNoteRead = 2 * TradeJournal::kMostNote;
// The most lines read on one market: more than a chart keeps, so that too
// many are refused with their reason.
constexpr int kMostDrawingsRead = 2 * charts::kMostDrawings;

// The field order below is the file's layout: any change to it is a new
// format version.
void write(QDataStream& s, const SavedGame& g) {
    put(s, g.level);
    put(s, g.data);
    put(s, g.length);
    put(s, g.news);
    s << qint32(g.startMonth) << qint32(g.startYear);
    s << qint32(g.startDay) << g.scenario;
    s << qint32(g.trades.size());
    for (const TradeRecord& t : g.trades) {
        s << qint32(t.day);
        put(s, t.market);
        put(s, t.side);
        s << t.marginCall << t.amount << t.price;
    }
    s << qint32(g.periodIndex);
    put(s, g.orderState);
    putOptional(s, g.orderMarket);
    putOptional(s, g.orderSide);
    s << g.orderMarketPressed;
    s << g.orderUnits << g.typedUnits;
    put(s, g.report);
    put(s, g.maximumDisplay);
    s << qint32(g.annualCounter) << qint32(g.dailyCounter);
    const charts::ChartOptions::Choices& c = g.chart;
    s << qint32(c.chartMarket) << c.comboText;
    put(s, c.leftType);
    s << c.priceMean << c.priceMinMax;
    put(s, c.graphType);
    s << qint32(c.maCounter) << c.movingMean << c.movingMinMax << c.rsiChecked;
    put(s, c.stochasticType);
    s << qint32(g.nextHintPeriod) << g.commissionTotal << qint32(g.backgroundYear);
    // Format 5.
    put(s, g.rules);
    s << g.commissionRate;
    for (const TradeRecord& t : g.trades) {
        s << qint32(t.orderId);
        put(s, t.orderType);
        s << t.asked;
    }
    s << qint32(g.decisions.size());
    for (const OrderDecision& d : g.decisions) {
        put(s, d.kind);
        s << qint32(d.period) << qint32(d.tradesBefore);
        const OrderRequest& r = d.request;
        put(s, r.market);
        put(s, r.side);
        s << qint32(r.units);
        put(s, r.type);
        s << r.price;
        put(s, r.tif);
        s << r.stopLoss.has_value() << r.stopLoss.value_or(0) << r.target.has_value() << r.target.value_or(0);
        s << qint32(d.id) << d.price << qint32(d.units);
    }
    // Format 6.
    s << g.practice << qint32(g.rewinds);
    // Format 7.
    put(s, c.priceStyle);
    s << c.priceAverage;
    put(s, c.rightPane);
    s << c.priceBands << qint32(c.rsiChanges) << qint32(c.stochasticWindow);
    // Format 8.
    s << qint32(g.notes.size());
    for (auto it = g.notes.begin(); it != g.notes.end(); ++it) s << qint32(it.key()) << it.value();
    // Format 9.
    for (int id = 1; id <= kMarketCount; ++id) {
        s << qint32(g.drawings.count(id));
        for (const charts::Drawing& d : g.drawings.of(id)) {
            put(s, d.kind);
            s << qint32(d.from.period) << d.from.price << qint32(d.to.period) << d.to.price;
        }
    }
}

bool read(QDataStream& s, SavedGame& g, quint32 format) {
    In in{s};
    g.level = in.choice(Level::Expert);
    g.data = in.choice(DataMode::Tick);
    g.length = in.choice(GameLength::Year);
    g.news = in.choice(NewsOption::Daily);
    g.startMonth = in.number();
    g.startYear = in.number();
    if (format >= 4) {
        g.startDay = in.number();
        g.scenario = in.text(kMostText);
    }
    for (int n = in.count(TradeLog::kMaxRecords); n > 0 && !in.failed(); --n) {
        TradeRecord t;
        t.number = static_cast<int>(g.trades.size()) + 1;
        t.day = in.number();
        t.market = in.choice(Market::Soybean);
        t.side = in.choice(Side::Sell);
        t.marginCall = in.flag();
        in.s >> t.amount >> t.price;
        // The side is the amount's; a record whose two disagree is no trade.
        if (sideOf(t.amount) != t.side) in.bad = true;
        g.trades.append(t);
    }
    g.periodIndex = in.number();
    g.orderState = in.choice(OrderState::Restart);
    const qint32 market = in.number(), side = in.number();
    if (market < -1 || market >= kMarketCount || side < -1 || side > 1) in.bad = true;
    if (!in.bad && market >= 0) g.orderMarket = static_cast<Market>(market);
    if (!in.bad && side >= 0) g.orderSide = static_cast<Side>(side);
    if (format >= 3) g.orderMarketPressed = in.flag();
    g.orderUnits = in.text(kMostText);
    g.typedUnits = in.text(kMostText);
    g.report = in.choice(SavedGame::Report::News);
    g.maximumDisplay = in.choice(MaximumDisplay::Positions);
    g.annualCounter = in.number();
    g.dailyCounter = in.number();
    charts::ChartOptions::Choices& c = g.chart;
    c.chartMarket = in.number();
    c.comboText = in.text(kMostText);
    c.leftType = in.choice(charts::LeftChartType::YearToDate);
    c.priceMean = in.flag();
    c.priceMinMax = in.flag();
    c.graphType = in.choice(charts::GraphType::Stochastic);
    c.maCounter = in.number();
    c.movingMean = in.flag();
    c.movingMinMax = in.flag();
    c.rsiChecked = in.flag();
    c.stochasticType = in.choice(charts::StochasticType::Slow);
    g.nextHintPeriod = in.number();
    in.s >> g.commissionTotal;
    g.backgroundYear = in.number();
    if (format >= 5) {
        g.rules = in.choice(RuleSet::Trainer);
        in.s >> g.commissionRate;
        for (TradeRecord& t : g.trades) {
            t.orderId = in.number();
            t.orderType = in.choice(OrderType::Stop);
            in.s >> t.asked;
        }
        for (int n = in.count(kMostDecisions); n > 0 && !in.failed(); --n) {
            OrderDecision d;
            d.kind = in.choice(OrderDecision::Kind::Cancel);
            d.period = in.number();
            d.tradesBefore = in.number();
            OrderRequest& r = d.request;
            r.market = in.choice(Market::Soybean);
            r.side = in.choice(Side::Sell);
            r.units = in.number();
            r.type = in.choice(OrderType::Stop);
            in.s >> r.price;
            r.tif = in.choice(TimeInForce::ThisPeriod);
            double stop = 0, target = 0;
            const bool hasStop = in.flag();
            in.s >> stop;
            const bool hasTarget = in.flag();
            in.s >> target;
            if (hasStop) r.stopLoss = stop;
            if (hasTarget) r.target = target;
            d.id = in.number();
            in.s >> d.price;
            d.units = in.number();
            g.decisions.append(d);
        }
    }
    if (format >= 6) {
        g.practice = in.flag();
        g.rewinds = in.number();
    }
    if (format >= 7) {
        // Taken as they stand: checkSavedGame says what is wrong with them.
        c.priceStyle = static_cast<charts::PriceStyle>(in.number());
        c.priceAverage = in.flag();
        c.rightPane = static_cast<charts::RightPane>(in.number());
        c.priceBands = in.flag();
        c.rsiChanges = in.number();
        c.stochasticWindow = in.number();
    }
    if (format >= 8) {
        // Read a little past the longest note, so that a note too long is
        // told as such; each trade has one note at most, in trade order.
        int last = 0;
        for (int n = in.count(TradeJournal::kMostNotes); n > 0 && !in.failed(); --n) {
            const int trade = in.number();
            const QString text = in.text(kMostNoteRead);
            if (trade <= last) in.bad = true;
            last = trade;
            g.notes.insert(trade, text);
        }
    }
    if (format >= 9) {
        // Taken as they stand: checkSavedGame says what is wrong with them.
        for (int id = 1; id <= kMarketCount && !in.failed(); ++id) {
            QList<charts::Drawing> lines;
            for (int n = in.count(kMostDrawingsRead); n > 0 && !in.failed(); --n) {
                charts::Drawing d;
                d.kind = static_cast<charts::Drawing::Kind>(in.number());
                d.from.period = in.number();
                in.s >> d.from.price;
                d.to.period = in.number();
                in.s >> d.to.price;
                lines.append(d);
            }
            g.drawings.restore(id, lines);
        }
    }
    return !in.failed() && s.atEnd();
}

bool isWholeNumber(double v) { return std::isfinite(v) && v == std::trunc(v); }

bool isPrice(Market m, double p) { return std::isfinite(p) && p > 0 && onTickGrid(m, p); }

// The Trainer's part: fills and decisions only in Trainer games, each one a
// player could have made; whether the rules take them is the replay's to say.
QString checkTrainer(const SavedGame& g) {
    if (!std::isfinite(g.commissionRate) || g.commissionRate < 0 || g.commissionRate > 1000)
        return QStringLiteral("its commission rate is out of range");
    const bool trainer = g.rules == RuleSet::Trainer;
    for (const TradeRecord& t : g.trades) {
        const bool fill = t.orderId != 0 || t.orderType != OrderType::Market || t.asked != 0;
        if (fill &&
            (!trainer || t.marginCall || t.orderId < 1 || !std::isfinite(t.asked) || t.asked < 0 ||
             (t.orderType == OrderType::Market) != (t.asked == 0) || (t.asked != 0 && !isPrice(t.market, t.asked))))
            return QStringLiteral("trade %1 is no fill of a working order a player could have entered").arg(t.number);
    }
    if (!trainer && !g.decisions.isEmpty()) return QStringLiteral("a Classic game has working orders");
    int period = 1, tradesBefore = 0;
    for (qsizetype i = 0; i < g.decisions.size(); ++i) {
        const OrderDecision& d = g.decisions[i];
        const QString decision = QStringLiteral("order decision %1 ").arg(i + 1);
        if (d.period < period || d.period > g.periodIndex || (d.period == period && d.tradesBefore < tradesBefore) ||
            d.tradesBefore < 0 || d.tradesBefore > g.trades.size())
            return decision + QStringLiteral("is out of the order of periods and trades");
        period = d.period;
        tradesBefore = d.tradesBefore;
        bool possible = true;
        switch (d.kind) {
        case OrderDecision::Kind::Place: {
            const OrderRequest& r = d.request;
            OrderRequest entry = r;
            entry.stopLoss.reset();
            entry.target.reset();
            for (const std::optional<double>& exit : {r.stopLoss, r.target})
                if (exit && !isPrice(r.market, *exit)) possible = false;
            if (r.type != OrderType::Market && requestProblem(r, r.price) != OrderProblem::None) possible = false;
            if (requestProblem(entry, 0) != OrderProblem::None) possible = false;
            if (g.level == Level::Novice && r.market != Market::Oil) possible = false;
            break;
        }
        case OrderDecision::Kind::ChangePrice: possible = d.id >= 1 && std::isfinite(d.price) && d.price > 0; break;
        case OrderDecision::Kind::ChangeUnits:
            possible = d.id >= 1 && d.units >= 1 && d.units <= OrderLimits::kLargestEntry;
            break;
        case OrderDecision::Kind::Cancel: possible = d.id >= 1; break;
        }
        if (!possible) return decision + QStringLiteral("is not an order a player could have entered");
    }
    return {};
}

} // namespace

QString checkSavedGame(const SavedGame& g) {
    const bool tick = g.data == DataMode::Tick;
    if (g.data == DataMode::None) return QStringLiteral("it has no data mode");
    if (!g.scenario.isEmpty()) {
        // A scenario's game is set up by the scenario alone.
        const Scenario* s = findScenario(g.scenario);
        if (!s || s->name != g.scenario) return QStringLiteral("its scenario is not one the game offers");
        if (g.level != s->level || g.data != s->data || g.length != s->length ||
            QDate(g.startYear, g.startMonth, g.startDay) != s->start)
            return QStringLiteral("it is not set up as its scenario is");
    } else if (g.startDay != 1) {
        return QStringLiteral("its period starts on day %1 of a month, which no game offers").arg(g.startDay);
    }
    // The setup window offers January of 1984 to 1997 for daily games, any
    // month of 1996 and 1997 for tick games, and no year of ticks.
    const bool start = !g.scenario.isEmpty() ? true
                       : tick ? g.startMonth >= 1 && g.startMonth <= 12 && g.startYear >= 1996 && g.startYear <= 1997
                              : g.startMonth == 1 && g.startYear >= 1984 && g.startYear <= 1997;
    if (!start)
        return QStringLiteral("its period starts in %1/%2, which no game offers").arg(g.startMonth).arg(g.startYear);
    if (tick && g.length == GameLength::Year) return QStringLiteral("a tick game lasts a quarter at most");
    const int mostPeriods = tick ? kMostTickPeriods : kMostDailyPeriods;
    if (g.periodIndex < 1 || g.periodIndex > mostPeriods)
        return QStringLiteral("period %1 is not within a game").arg(g.periodIndex);

    int day = 1;
    for (const TradeRecord& t : g.trades) {
        const QString trade = QStringLiteral("trade %1 ").arg(t.number);
        if (t.day < day || t.day > g.periodIndex) return trade + QStringLiteral("is out of the order of periods");
        day = t.day;
        if (g.level == Level::Novice && t.market != Market::Oil)
            return trade + QStringLiteral("is in %1, which a Novice does not trade").arg(marketName(t.market));
        if (!isWholeNumber(t.amount) || t.amount == 0 || std::abs(t.amount) > OrderLimits::kLargestEntry)
            return trade + QStringLiteral("is not a number of contracts an order may have");
        if (!std::isfinite(t.price) || t.price <= 0) return trade + QStringLiteral("has no market price");
    }

    // The order being entered: Trade has at most its market and a side that
    // was cancelled, GetUnits and CorrOrd a market and a side; only CorrOrd
    // has accepted contracts; a Novice's market is Oil.
    const OrderState state = g.orderState;
    const bool entering = state == OrderState::GetUnits || state == OrderState::CorrOrd;
    if (state != OrderState::ChangePeriod && state != OrderState::Trade && !entering)
        return QStringLiteral("its order is at a step no game is saved in");
    const bool shape = (state == OrderState::CorrOrd) != g.orderUnits.isEmpty() &&
                       (state == OrderState::ChangePeriod ? !g.orderMarket && !g.orderSide
                        : state == OrderState::Trade      ? g.orderMarket || !g.orderSide
                                                          : g.orderMarket && g.orderSide);
    if (g.report != SavedGame::Report::None && state != OrderState::ChangePeriod)
        return QStringLiteral("a report is open during an order");
    if (g.report == SavedGame::Report::News && !tick) return QStringLiteral("a daily game has no news report");
    // Only a Novice's market may be chosen without its button.
    const bool pressed = g.orderMarketPressed || (g.level == Level::Expert && g.orderMarket);
    if (!shape || (g.orderMarket && g.level == Level::Novice && *g.orderMarket != Market::Oil) ||
        (pressed && !g.orderMarket))
        return QStringLiteral("its order being entered is not one the desk takes");
    if (state == OrderState::CorrOrd) {
        bool whole = false;
        const int units = g.orderUnits.toInt(&whole);
        if (!whole || units < 1 || units > OrderLimits::kLargestEntry || QString::number(units) != g.orderUnits)
            return QStringLiteral("its order being entered has no accepted contracts");
    }

    if (const QString why = checkTrainer(g); !why.isEmpty()) return why;
    // Each rewind replays the game at least once more: a count past the
    // periods a game has is none a player made, and a rewound game is
    // played for practice.
    if (g.rewinds < 0 || g.rewinds > kMostRewinds || (g.rewinds > 0 && !g.practice))
        return QStringLiteral("it was rewound %1 times, which no game is").arg(g.rewinds);
    if (const QString why = TradeJournal::journalProblem(g.notes, static_cast<int>(g.trades.size())); !why.isEmpty())
        return why;

    if (!NewsOptions::withCounters(g.annualCounter, g.dailyCounter))
        return QStringLiteral("its news options are out of range");
    if (const QString why = charts::ChartOptions::tuningProblem(g.chart); !why.isEmpty()) return why;
    if (const QString why = g.drawings.problem(g.periodIndex); !why.isEmpty()) return why;
    if (!charts::ChartOptions::fromChoices(g.chart))
        return QStringLiteral("its chart options are not ones the menus make");
    // The hold-back outlives games, so any game may have set it.
    if (!HintAdvisor::heldBackTo(g.nextHintPeriod, kMostGamePeriods))
        return QStringLiteral("its hints are held back to period %1, which no game reaches").arg(g.nextHintPeriod);
    if (!BackgroundStory::lastLookedUp(g.backgroundYear))
        return QStringLiteral("its background story is of %1, a year without one").arg(g.backgroundYear);
    // An Expert's every trade adds to the commissions, in this game and the
    // ones before it in the same run.
    const float c = g.commissionTotal;
    const double least = g.level == Level::Expert ? double(kExpertCommissionPerTrade) * double(g.trades.size()) : 0;
    if (!std::isfinite(c) || c < least || c > kExpertCommissionPerTrade * 1e8f ||
        !isWholeNumber(c / kExpertCommissionPerTrade))
        return QStringLiteral("its commission total is not one the trades make");
    return {};
}

SavedGame savedGameOf(const GameState& s, const QString& typedUnits, SavedGame::Report report,
                      const Scenario* scenario) {
    SavedGame g;
    g.level = s.settings.level;
    g.data = s.clock.dataMode();
    g.length = s.clock.setupLength();
    g.news = s.settings.news.setupChoice();
    // A tick game's start date moves to its first trading day at the first
    // period; the setup chose the first of that month.
    g.startMonth = s.clock.dataMode() == DataMode::Tick ? s.clock.startDate().month() : 1;
    g.startYear = s.clock.startDate().year();
    if (scenario) {
        g.scenario = scenario->name;
        g.startYear = scenario->start.year();
        g.startMonth = scenario->start.month();
        g.startDay = scenario->start.day();
    }
    g.trades = s.desk.trades.records();
    g.rules = s.settings.rules;
    g.commissionRate = s.settings.commissionRate;
    g.practice = s.practice;
    g.rewinds = s.rewinds;
    g.decisions = s.desk.decisions;
    g.notes = s.desk.journal.notes();
    g.periodIndex = s.clock.periodIndex();
    const TradingDesk& d = s.desk;
    g.orderState = d.state;
    g.orderMarket = d.pending.market;
    g.orderSide = d.pending.side;
    g.orderMarketPressed = d.pending.marketPressed;
    g.typedUnits = typedUnits.left(kMostText);
    if (d.state == OrderState::CorrOrd) g.orderUnits = QString::number(static_cast<qint64>(std::abs(d.pending.units)));
    g.report = report;
    g.maximumDisplay = s.settings.maximumDisplay;
    g.annualCounter = s.settings.news.counter(NewsOption::Annual);
    g.dailyCounter = s.settings.news.counter(NewsOption::Daily);
    g.chart = s.chart.choices();
    g.drawings = s.drawings;
    g.nextHintPeriod = s.hints.nextHintPeriod();
    g.commissionTotal = s.desk.commissionTotal;
    g.backgroundYear = s.background.year();
    return g;
}

SavedGame savedGameUpTo(const SavedGame& g, int period) {
    SavedGame r = g;
    r.periodIndex = std::clamp(period, 1, g.periodIndex);
    // The press that reaches a period fills the resting orders at its
    // prices; a margin call's trades come from a press that stays in it, and
    // a market order fills at once, in the period it was entered.
    const auto before = [&](const TradeRecord& t) {
        return t.day < r.periodIndex ||
               (t.day == r.periodIndex && t.orderId != 0 && !t.marginCall && t.orderType != OrderType::Market);
    };
    r.trades.clear();
    for (const TradeRecord& t : g.trades) {
        if (!before(t)) break;
        r.trades.append(t);
    }
    r.decisions.clear();
    for (const OrderDecision& d : g.decisions)
        if (d.period < r.periodIndex) r.decisions.append(d);
    // The journal keeps notes on the trades that stay.
    r.notes.removeIf([&](const auto& note) { return note.key() > r.trades.size(); });
    // The game goes back to the moment the period first showed, before
    // anything was done in it: a line on that period or a later one goes
    // with its trades and notes.
    r.drawings.cutAfter(r.periodIndex - 1);
    const qsizetype dropped = g.trades.size() - r.trades.size();
    if (g.level == Level::Expert) r.commissionTotal -= kExpertCommissionPerTrade * static_cast<float>(dropped);
    r.orderState = OrderState::ChangePeriod;
    r.orderMarket.reset();
    r.orderSide.reset();
    r.orderMarketPressed = false;
    r.orderUnits.clear();
    r.typedUnits.clear();
    r.report = SavedGame::Report::None;
    return r;
}

QString defaultSaveFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

QString savedGamePath(const QString& folder) { return QDir(folder).filePath(QString::fromLatin1(kSavedGameFileName)); }

QByteArray encodeSavedGame(const SavedGame& game) {
    QByteArray payload;
    {
        QDataStream s(&payload, QIODevice::WriteOnly);
        s.setVersion(kStreamVersion);
        write(s, game);
    }
    QByteArray file;
    {
        QDataStream s(&file, QIODevice::WriteOnly);
        s.setVersion(kStreamVersion);
        s.writeRawData(kMagic, kMagicSize);
        s << kSavedGameFormat << quint32(payload.size());
        s.writeRawData(payload.constData(), static_cast<int>(payload.size()));
    }
    file.append(digest(file));
    return file;
}

SavedGameProblem decodeSavedGame(const QByteArray& bytes, SavedGame& out, QString* detail) {
    const QByteArray magic = QByteArray::fromRawData(kMagic, kMagicSize);
    // A file cut short inside the magic is one of ours cut short.
    if (bytes.size() < kMagicSize)
        return magic.startsWith(bytes) ? SavedGameProblem::Damaged : SavedGameProblem::Foreign;
    if (!bytes.startsWith(magic)) return SavedGameProblem::Foreign;
    if (bytes.size() < kHeaderSize) return SavedGameProblem::Damaged;
    QDataStream header(bytes.mid(kMagicSize, 8));
    header.setVersion(kStreamVersion);
    quint32 format = 0, length = 0;
    header >> format >> length;
    if (format > kSavedGameFormat) return SavedGameProblem::Newer;
    // Format 1 kept the window and trusted every figure in it; its files
    // cannot be told from forged ones, so they are not resumed.
    if (format == 1) return SavedGameProblem::Older;
    if (format < 1 || bytes.size() != kHeaderSize + qsizetype(length) + kDigestSize) return SavedGameProblem::Damaged;
    const qsizetype signedPart = kHeaderSize + qsizetype(length);
    if (digest(QByteArrayView(bytes).first(signedPart)) != bytes.sliced(signedPart)) return SavedGameProblem::Damaged;
    const QByteArray payload = bytes.sliced(kHeaderSize, length);
    QDataStream s(payload);
    s.setVersion(kStreamVersion);
    out = SavedGame{};
    if (!read(s, out, format)) return SavedGameProblem::Damaged;
    *detail = checkSavedGame(out);
    return detail->isEmpty() ? SavedGameProblem::None : SavedGameProblem::Impossible;
}

void removeSaveLeftovers(const QString& folder) {
    // QSaveFile names its temporary file after the save and six random
    // letters. A name of six small letters is more likely a word (".backup")
    // than Qt's draw; a file that does not begin as a save does is not ours;
    // a save in progress in another copy of the game is younger than a minute.
    static const QRegularExpression leftover(QStringLiteral("^%1\\.(?=[a-z]*[A-Z])[A-Za-z]{6}$")
                                                 .arg(QRegularExpression::escape(QLatin1String(kSavedGameFileName))));
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QByteArray magic = QByteArray::fromRawData(kMagic, kMagicSize);
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        if (f.isSymLink() || !leftover.match(f.fileName()).hasMatch() || f.lastModified().toUTC() >= stale) continue;
        QFile file(f.filePath());
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QByteArray head = file.read(kMagicSize);
        file.close();
        if (magic.startsWith(head)) QFile::remove(f.filePath());
    }
}

QString writeSavedGameFile(const QString& folder, const QByteArray& bytes) {
    if (!QDir().mkpath(folder))
        return QStringLiteral("the folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder));
    removeSaveLeftovers(folder);
    // Never written into: a partly written save must never stand in for the
    // last good one.
    const QString error = writeFileWhole(savedGamePath(folder), bytes);
    return error.isEmpty() ? error : error + QLatin1Char('.');
}

qint64 largestSavedGameSize() {
    // Every count and text at its most: what the reader takes and no more.
    // Every trade and every decision takes as many bytes as any other, so the
    // bound is worked out from saves of one of each: writing and digesting
    // the largest save (some 10 MB) would hold up the first Resume.
    static const qint64 largest = [] {
        SavedGame g;
        g.orderUnits = g.typedUnits = g.chart.comboText = QString(kMostText, QLatin1Char('0'));
        g.scenario = QString(kMostText, QLatin1Char('0'));
        const qint64 none = encodeSavedGame(g).size();
        g.trades = QList<TradeRecord>(1);
        const qint64 trade = encodeSavedGame(g).size() - none;
        g.trades.clear();
        g.decisions = QList<OrderDecision>(1);
        const qint64 decision = encodeSavedGame(g).size() - none;
        g.decisions.clear();
        g.notes.insert(1, QString(kMostNoteRead, QLatin1Char('0')));
        const qint64 note = encodeSavedGame(g).size() - none;
        g.notes.clear();
        g.drawings.add(1, {charts::Drawing::Kind::Level, {1, 1}, {}}, 1);
        const qint64 drawing = encodeSavedGame(g).size() - none;
        return none + trade * TradeLog::kMaxRecords + decision * kMostDecisions + note * TradeJournal::kMostNotes +
               drawing * kMostDrawingsRead * kMarketCount;
    }();
    return largest;
}

SavedGameProblem readSavedGameFile(const QString& folder, QByteArray* bytes, QString* error) {
    // Its kind and size are judged before a byte is read: a FIFO would never
    // answer, a device or a sparse file of gigabytes never end.
    switch (readOutsideFile(savedGamePath(folder), largestSavedGameSize(), bytes, error)) {
    case OutsideFile::Fine: return SavedGameProblem::None;
    case OutsideFile::Missing: return SavedGameProblem::Missing;
    case OutsideFile::Refused: break;
    }
    return SavedGameProblem::Unreadable;
}

QString savedGameProblemText(SavedGameProblem problem, const QString& detail) {
    switch (problem) {
    case SavedGameProblem::None: return {};
    case SavedGameProblem::Missing: return QStringLiteral("there is no saved game.");
    case SavedGameProblem::Unreadable: return QStringLiteral("the file cannot be opened.");
    case SavedGameProblem::Foreign: return QStringLiteral("the file is not a Pellucar saved game.");
    case SavedGameProblem::Newer: return QStringLiteral("it was saved by a newer version of Pellucar.");
    case SavedGameProblem::Older:
        return QStringLiteral("it was saved by an older version of Pellucar, whose saved games cannot be resumed.");
    case SavedGameProblem::Damaged: return QStringLiteral("the file is damaged.");
    case SavedGameProblem::Impossible:
        return QStringLiteral("the game in it could not have been played: ") + detail + '.';
    }
    return {};
}

} // namespace pellucar
