#include "play_driver.h"

#include "app/dialogs/scripted_dialogs.h"
#include "app/game/game.h"
#include "app/view/control_table.h"

#include "common/format.h"
#include "common/outside_files.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <utility>

namespace pellucar {

namespace {

// "mnuLevel_2" names item 2 of the array mnuLevel.
void splitIndexedName(QString* name, int* index) {
    static const QRegularExpression re(QStringLiteral("^(.+)_(\\d+)$"));
    const auto m = re.match(*name);
    if (m.hasMatch() && *index < 0) {
        *name = m.captured(1);
        *index = m.captured(2).toInt();
    }
}

QString marketButton(const QString& market) {
    static const QHash<QString, QString> buttons{
        {"oil", "btnOil"},     {"gold", "btnGold"},     {"tbond", "btnTBond"},    {"t-bond", "btnTBond"},
        {"sp500", "btnSp500"}, {"cattle", "btnCattle"}, {"soybean", "btnSoybean"}};
    return buttons.value(market.toLower());
}

bool marketOf(const QString& word, Market* out) {
    for (Market m : kTradingOrder) {
        if (marketName(m).compare(word, Qt::CaseInsensitive) == 0 ||
            (m == Market::TBond && word.toLower() == "t-bond")) {
            *out = m;
            return true;
        }
    }
    return false;
}

bool priceOf(const QString& word, double* out) {
    bool ok = false;
    *out = word.toDouble(&ok);
    return ok && std::isfinite(*out);
}

const QString kOrderUsage = QStringLiteral("usage: order MARKET buy|sell UNITS [market|limit P|stop P] [day|gtc]");
const QString kBracketUsage =
    QStringLiteral("usage: bracket MARKET buy|sell UNITS [limit P|stop P] [stop S] [target T] [day|gtc]");

// The words after the command: market, side, units, then the order's type
// and prices. In a bracket a stop before the stop-loss is the entry's.
QString parseOrder(const QStringList& w, bool bracket, OrderRequest* r) {
    const QString usage = bracket ? kBracketUsage : kOrderUsage;
    bool ok = false;
    if (w.size() < 4 || !marketOf(w[1], &r->market)) return usage;
    const QString side = w[2].toLower();
    if (side != QLatin1String("buy") && side != QLatin1String("sell")) return usage;
    r->side = side == QLatin1String("buy") ? Side::Buy : Side::Sell;
    r->units = w[3].toInt(&ok);
    if (!ok) return usage;
    r->type = OrderType::Market;
    r->price = 0;
    const int stops = static_cast<int>(w.count(QStringLiteral("stop")));
    for (int i = 4; i < w.size(); ++i) {
        const QString k = w[i].toLower();
        if (k == QLatin1String("day") || k == QLatin1String("gtc")) {
            r->tif = k == QLatin1String("day") ? TimeInForce::ThisPeriod : TimeInForce::UntilCancelled;
            continue;
        }
        if (k == QLatin1String("market") && !bracket) continue;
        double p = 0;
        if (i + 1 >= w.size() || !priceOf(w[i + 1], &p)) return usage;
        ++i;
        const bool entryStop =
            k == QLatin1String("stop") && (!bracket || (stops == 2 && r->type == OrderType::Market && !r->stopLoss));
        if (k == QLatin1String("limit") || entryStop) {
            r->type = k == QLatin1String("limit") ? OrderType::Limit : OrderType::Stop;
            r->price = p;
        } else if (bracket && k == QLatin1String("stop")) {
            r->stopLoss = p;
        } else if (bracket && k == QLatin1String("target")) {
            r->target = p;
        } else {
            return usage;
        }
    }
    if (bracket && !r->isBracket()) return usage;
    return {};
}

} // namespace

PlayDriver::Result PlayDriver::run(const QStringList& lines) {
    for (int i = 0; i < lines.size(); ++i) {
        QString err;
        if (!execute(lines[i], &err)) {
            error_ = QStringLiteral("line %1: %2").arg(i + 1).arg(err);
            return Result::ScriptError;
        }
        if (game_.ended()) return Result::ProgramEnded;
    }
    return Result::Finished;
}

bool PlayDriver::click(const QString& rawName, int index, QString* error) {
    QString name = rawName;
    splitIndexedName(&name, &index);
    if (!game_.isKnownControl(name, index)) {
        *error = QStringLiteral("unknown control %1").arg(rawName);
        return false;
    }
    const QString key = (index < 0 || name == QLatin1String("cboCommodity")) ? name : itemKey(name, index);
    // A player cannot press what is hidden or disabled; say so, as the
    // script probably expected otherwise.
    if (!game_.isActionable(key))
        std::fprintf(stderr, "pellucar-play: %s is not available, ignored\n", qPrintable(key));
    game_.click(name, index);
    return true;
}

bool PlayDriver::execute(const QString& rawLine, QString* error) {
    QString line = rawLine;
    const int hash = line.indexOf('#');
    if (hash >= 0) line.truncate(hash);
    line = line.trimmed();
    if (line.isEmpty()) return true;
    // Compiled once: a script runs this for every line.
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList w = line.split(blanks);
    const QString cmd = w[0];
    auto number = [&](int i, int fallback, bool* ok) {
        if (i >= w.size()) {
            *ok = true;
            return fallback;
        }
        return w[i].toInt(ok);
    };

    if (cmd == QLatin1String("click")) {
        if (w.size() < 2 || w.size() > 3) return *error = QStringLiteral("usage: click NAME [INDEX]"), false;
        bool ok;
        const int index = number(2, -1, &ok);
        if (!ok) return *error = QStringLiteral("index must be a number"), false;
        return click(w[1], index, error);
    }
    if (cmd == QLatin1String("forward")) {
        bool ok;
        const int n = number(1, 1, &ok);
        if (!ok || n < 0) return *error = QStringLiteral("usage: forward [N]"), false;
        for (int i = 0; i < n && !game_.ended(); ++i) game_.click(QString::fromLatin1(keys::kForward));
        return true;
    }
    if (cmd == QLatin1String("autoplay")) {
        // Play, then the game's own auto-play steps, as the window's timer
        // asks for them, until it stops or N periods have passed.
        bool ok;
        const int n = number(1, 1, &ok);
        if (!ok || n < 0 || w.size() > 2) return *error = QStringLiteral("usage: autoplay [N]"), false;
        // N counts from this command, whether it starts auto-play or finds
        // it running.
        const int before = game_.autoPlay().running() ? game_.autoPlay().presses() : 0;
        if (!game_.autoPlay().running()) game_.click(QString::fromLatin1(keys::kAutoPlay));
        if (!game_.autoPlay().running()) {
            out_ << "autoplay: Play is not available\n";
            out_.flush();
            return true;
        }
        while (game_.autoPlay().running() && game_.autoPlay().presses() - before < n && !game_.ended())
            game_.autoPlayStep();
        const AutoPlay& a = game_.autoPlay();
        out_ << "autoplay: " << a.presses() - before << " periods, "
             << (a.running() ? QStringLiteral("playing") : QStringLiteral("stopped: ") + a.stopReason()) << '\n';
        out_.flush();
        return true;
    }
    if (cmd == QLatin1String("type")) {
        const QString text = line.mid(4).trimmed();
        game_.setText(QStringLiteral("inputUnits"), text);
        return true;
    }
    if (cmd == QLatin1String("key")) {
        if (w.size() != 2 || (w[1] != QLatin1String("Enter") && w[1] != QLatin1String("Tab")))
            return *error = QStringLiteral("usage: key Enter|Tab"), false;
        game_.keyPress(QStringLiteral("inputUnits"), w[1] == QLatin1String("Enter") ? Key::Enter : Key::Tab);
        return true;
    }
    if (cmd == QLatin1String("answer")) {
        if (w.size() != 2) return *error = QStringLiteral("usage: answer NAME"), false;
        dialogs_.queueAnswer(w[1]);
        return true;
    }
    if (cmd == QLatin1String("setup")) {
        QHash<QString, QString> settings;
        for (int i = 1; i < w.size(); ++i) {
            const int eq = w[i].indexOf('=');
            if (eq <= 0) return *error = QStringLiteral("setup takes KEY=VALUE pairs"), false;
            const QString key = w[i].left(eq), value = w[i].mid(eq + 1);
            const QString problem = ScriptedDialogs::checkSetting(key, value);
            if (!problem.isEmpty()) return *error = problem, false;
            settings.insert(key, value);
        }
        dialogs_.queueSetup(settings);
        return click(QString::fromLatin1(keys::kNewGame), -1, error);
    }
    for (const char* c : {"order", "bracket", "orders", "change", "cancel"})
        if (cmd == QLatin1String(c)) return orderCommand(w, error);
    if (cmd == QLatin1String("trade")) {
        if (w.size() != 4 || marketButton(w[1]).isEmpty() ||
            (w[2].toLower() != QLatin1String("buy") && w[2].toLower() != QLatin1String("sell")))
            return *error = QStringLiteral("usage: trade MARKET buy|sell UNITS"), false;
        game_.click(QString::fromLatin1(keys::kTrade));
        game_.click(marketButton(w[1]));
        game_.click(w[2].toLower() == QLatin1String("buy") ? QStringLiteral("btnBuy") : QStringLiteral("btnSell"));
        game_.setText(QStringLiteral("inputUnits"), w[3]);
        game_.keyPress(QStringLiteral("inputUnits"), Key::Enter);
        return true;
    }
    if (cmd == QLatin1String("show")) {
        if (w.size() < 2) return *error = QStringLiteral("usage: show NAME ..."), false;
        for (int i = 1; i < w.size(); ++i) {
            QString name = w[i];
            int index = -1;
            splitIndexedName(&name, &index);
            if (!game_.isKnownControl(name, index))
                return *error = QStringLiteral("unknown control %1").arg(w[i]), false;
            const ControlState& st = game_.model().at(w[i]);
            out_ << w[i] << ": " << st.text << (st.visible ? "" : " (hidden)") << '\n';
        }
        out_.flush();
        return true;
    }
    if (cmd == QLatin1String("state")) {
        const GameState& s = game_.state();
        out_ << "PeriodIndex=" << s.clock.periodIndex() << " GameLengthDays=" << s.clock.lengthPeriods()
             << " TradingDayCount=" << s.clock.tradingDayCount() << " DataMode=" << dataModeName(s.clock.dataMode())
             << " GameLevel=" << levelName(s.settings.level) << " Start=" << s.clock.startDate().toString(Qt::ISODate)
             << " End=" << s.clock.endDate().toString(Qt::ISODate) << '\n';
        out_.flush();
        return true;
    }
    if (cmd == QLatin1String("scenario")) {
        const QString name = line.section(' ', 1).trimmed();
        if (!findScenario(name)) return *error = QStringLiteral("unknown scenario %1").arg(name), false;
        game_.startScenario(name);
        return true;
    }
    if (cmd == QLatin1String("rewind")) {
        // Game > Rewind... answered with period N; a line when the game
        // offers no rewind (a scored Classic game, period 1, an order under
        // way): the script goes on.
        bool ok;
        const int n = number(1, 0, &ok);
        if (!ok || w.size() != 2 || n < 1) return *error = QStringLiteral("usage: rewind N"), false;
        if (!game_.isActionable(QStringLiteral("mnuRewind"))) {
            out_ << "rewind: Rewind is not available in this game\n";
            out_.flush();
            return true;
        }
        dialogs_.queueAnswer(QString::number(n));
        game_.click(QStringLiteral("mnuRewind"));
        return true;
    }
    if (cmd == QLatin1String("review") || cmd == QLatin1String("export")) {
        const std::optional<ReviewRecord>& r = game_.lastReview();
        if (cmd == QLatin1String("export")) {
            // Like review, a line for each outcome: the script goes on.
            if (w.size() != 2) return *error = QStringLiteral("usage: export PATH"), false;
            if (!r) {
                out_ << "Export: no game has ended\n";
            } else {
                // Each file is replaced whole or not at all, and only a regular one:
                // the fills to PATH, the round trips beside it.
                const QString trips = roundTripsPathFor(w[1]);
                const ReviewFigures f = reviewFigures(*r);
                QString why = writeFileWhole(w[1], tradeRecordCsv(*r).toUtf8());
                if (why.isEmpty()) why = writeFileWhole(trips, roundTripsCsv(*r, f).toUtf8());
                if (why.isEmpty())
                    out_ << "Export: " << r->trades.size() << " trades to " << w[1] << ", " << f.trips.size()
                         << " round trips to " << trips << '\n';
                else out_ << "Export: could not write " << w[1] << ": " << why << '\n';
            }
            out_.flush();
            return true;
        }
        if (!r) {
            out_ << "Review: no game has ended\n";
        } else {
            const ReviewFigures f = reviewFigures(*r);
            out_ << "Review: " << r->periods.size() << " periods, " << r->trades.size() << " trades\n";
            for (const ReviewLine& l : reviewStatistics(*r, f)) out_ << l.caption << ": " << l.value << '\n';
            for (const RoundTrip& t : f.trips) {
                out_ << "Trip: " << marketName(t.market) << ' ' << tripDirection(t) << ' ' << t.contracts << " at "
                     << reviewPriceText(t.entryPrice) << " (period " << t.entryPeriod << ") to "
                     << reviewPriceText(t.exitPrice) << " (period " << t.exitPeriod << "), " << formatStandard(t.pl)
                     << ", " << t.periodsHeld() << " periods";
                if (r->rules == RuleSet::Trainer)
                    out_ << ", entry " << tripOrderText(t.entryOrder, t.entryAsked) << ", exit "
                         << tripOrderText(t.exitOrder, t.exitAsked);
                out_ << '\n';
            }
        }
        out_.flush();
        return true;
    }
    if (cmd == QLatin1String("note")) {
        // The rest of the line, blanks and all, is the note.
        bool ok = false;
        const int trade = w.value(1).toInt(&ok);
        if (w.size() < 2 || !ok) return *error = QStringLiteral("usage: note N TEXT"), false;
        const QString text = line.trimmed().section(blanks, 2);
        const QString why = game_.writeNote(trade, text);
        out_ << "note: " << (why.isEmpty() ? QStringLiteral("trade %1 noted").arg(trade) : "refused: " + why) << '\n';
        out_.flush();
        return true;
    }
    if (cmd == QLatin1String("view")) {
        // The charts' wheel, drag and keys: back or ahead by rows, closer or
        // wider, or the latest rows again.
        bool ok = w.size() == 2 && w[1] == QLatin1String("latest");
        const int amount = ok ? 0 : w.value(2).toInt(&ok);
        const bool moves = w.size() == 3 && (w[1] == QLatin1String("scroll") || w[1] == QLatin1String("zoom"));
        if (!ok || (w.size() == 3 && !moves))
            return *error = QStringLiteral("usage: view scroll|zoom N, or view latest"), false;
        using charts::ViewMove;
        game_.moveChartView(w[1] == QLatin1String("scroll") ? ViewMove::Scroll
                            : w[1] == QLatin1String("zoom") ? ViewMove::Zoom
                                                            : ViewMove::Latest,
                            amount);
        return true;
    }
    if (cmd == QLatin1String("chart")) {
        // What each chart shows: the played rows in view, the y axis and its
        // labels, the last price and the open position.
        for (const auto& [name, c] :
             {std::pair{"left", &game_.charts().left}, std::pair{"right", &game_.charts().right}}) {
            out_ << "chart " << name << ": " << c->title << " rows " << c->rows.first << '-' << c->rows.last << " y "
                 << formatPlain(c->yMin) << ".." << formatPlain(c->yMax) << " ticks "
                 << c->yLabels.join(QStringLiteral(" | "));
            if (c->lastValue) out_ << " last " << charts::valueText(c->notation, *c->lastValue);
            if (c->position) out_ << " position " << c->position->label;
            if (!c->stories.isEmpty()) out_ << " stories " << c->stories.size();
            out_ << '\n';
        }
        out_.flush();
        return true;
    }
    if (cmd == QLatin1String("draw") || cmd == QLatin1String("drawings")) return drawCommand(w, error);
    *error = QStringLiteral("unknown command %1").arg(cmd);
    return false;
}

bool PlayDriver::drawCommand(const QStringList& w, QString* error) {
    // The lines on the charted market, as the chart's mouse and keys draw
    // them: points snap to the prices of their periods as they do there.
    const int market = game_.state().chart.chartMarket();
    const charts::Notation notation = charts::notationOf(market);
    const QList<charts::Drawing>& lines = game_.state().drawings.of(market);
    const auto pointText = [&](const charts::DrawingPoint& p) {
        return charts::valueText(notation, p.price) + QStringLiteral(" (period %1)").arg(p.period);
    };
    if (w[0] == QLatin1String("drawings")) {
        if (w.size() != 1) return *error = QStringLiteral("usage: drawings"), false;
        out_ << "drawings: " << lines.size() << " on " << marketNames().value(market - 1) << '\n';
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const charts::Drawing& d = lines[i];
            out_ << "  " << i + 1 << (d.kind == charts::Drawing::Kind::Level ? " level " : " trend ")
                 << pointText(d.from);
            if (d.kind == charts::Drawing::Kind::Trend) out_ << " to " << pointText(d.to);
            out_ << '\n';
        }
        out_.flush();
        return true;
    }
    const QString usage = QStringLiteral("usage: draw hline PRICE [PERIOD], draw trend P1 PRICE1 P2 PRICE2, or draw "
                                         "remove N|last|all");
    const QString how = w.value(1);
    QString why;
    if (how == QLatin1String("remove") && w.size() == 3) {
        bool ok = false;
        const int n = w[2].toInt(&ok);
        if (w[2] == QLatin1String("all")) {
            game_.click(QStringLiteral("mnuDraw"), 3);
            why =
                game_.state().drawings.count(market) == 0 ? QString() : QStringLiteral("the chart takes no change now");
        } else if (w[2] == QLatin1String("last") || ok) {
            why = game_.removeDrawing(ok ? n - 1 : -1) ? QString() : QStringLiteral("there is no such line");
        } else {
            return *error = usage, false;
        }
        out_ << "draw: " << (why.isEmpty() ? QStringLiteral("removed") : "refused: " + why) << '\n';
        out_.flush();
        return true;
    }
    charts::Drawing d;
    bool ok = false;
    if (how == QLatin1String("hline") && (w.size() == 3 || w.size() == 4)) {
        d.kind = charts::Drawing::Kind::Level;
        d.from.period = w.size() == 4 ? w[3].toInt(&ok) : game_.state().clock.periodIndex();
        ok = (ok || w.size() == 3) && priceOf(w[2], &d.from.price);
    } else if (how == QLatin1String("trend") && w.size() == 6) {
        d.kind = charts::Drawing::Kind::Trend;
        bool ok1 = false, ok2 = false;
        d.from.period = w[2].toInt(&ok1);
        d.to.period = w[4].toInt(&ok2);
        ok = ok1 && ok2 && priceOf(w[3], &d.from.price) && priceOf(w[5], &d.to.price);
    }
    if (!ok) return *error = usage, false;
    why = game_.drawOnChart(d);
    if (why.isEmpty())
        out_ << "draw: line " << lines.size() << " drawn at " << pointText(lines.last().from)
             << (d.kind == charts::Drawing::Kind::Trend ? " to " + pointText(lines.last().to) : QString()) << '\n';
    else out_ << "draw: refused: " << why << '\n';
    out_.flush();
    return true;
}

bool PlayDriver::orderCommand(const QStringList& w, QString* error) {
    const QString cmd = w[0];
    const auto report = [&](const QString& what, const QString& refusal) {
        out_ << cmd << ": " << (refusal.isEmpty() ? what : QStringLiteral("refused: ") + refusal) << '\n';
        out_.flush();
        return true;
    };
    if (cmd == QLatin1String("orders")) {
        if (w.size() != 1) return *error = QStringLiteral("usage: orders"), false;
        const std::vector<WorkingOrder> list = game_.workingOrders().list();
        out_ << "orders: " << list.size() << " working\n";
        for (const WorkingOrder& o : list) out_ << "  " << orderText(o) << '\n';
        out_.flush();
        return true;
    }
    if (cmd == QLatin1String("order") || cmd == QLatin1String("bracket")) {
        OrderRequest r;
        if (QString usage = parseOrder(w, cmd == QLatin1String("bracket"), &r); !usage.isEmpty())
            return *error = usage, false;
        int id = 0;
        const QString why = game_.placeOrder(r, &id);
        return report(QStringLiteral("%1 entered").arg(id), why);
    }
    bool ok = false;
    const int id = w.size() > 1 ? w[1].toInt(&ok) : 0;
    if (cmd == QLatin1String("cancel")) {
        if (w.size() != 2 || !ok) return *error = QStringLiteral("usage: cancel N"), false;
        return report(QStringLiteral("%1 cancelled").arg(id), game_.cancelWorkingOrder(id));
    }
    const QString usage = QStringLiteral("usage: change N price P|units U");
    if (w.size() != 4 || !ok) return *error = usage, false;
    if (w[2] == QLatin1String("price")) {
        double p = 0;
        if (!priceOf(w[3], &p)) return *error = usage, false;
        return report(QStringLiteral("%1 changed").arg(id), game_.changeOrderPrice(id, p));
    }
    const int units = w[3].toInt(&ok);
    if (w[2] != QLatin1String("units") || !ok) return *error = usage, false;
    return report(QStringLiteral("%1 changed").arg(id), game_.changeOrderUnits(id, units));
}

} // namespace pellucar
