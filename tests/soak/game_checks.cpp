#include "game_checks.h"

#include "app/record/review.h"
#include "app/record/scenarios.h"
#include "app/record/verdicts.h"
#include "news/hints.h"
#include "news/news_history.h"
#include "trading/contract_terms.h"
#include "trading/order_limits.h"
#include "trading/order_texts.h"
#include "trading/trade_log.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <utility>

namespace pellucar::soak {

namespace {

// Money as the summaries show it: "$" and the "Standard" form.
const QString kMoney = QStringLiteral("\\$-?\\d{1,3}(?:,\\d{3})*\\.\\d\\d");

QRegularExpression anchored(const QString& pattern) {
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
}

QString marketAlternatives() {
    QStringList names;
    for (Market m : kTradingOrder) names << marketName(m);
    return QStringLiteral("(?:") + names.join('|') + ')';
}

// Every notification the game may show: fixed (title, message) pairs and the texts that carry a figure.
struct KnownNotices {
    QSet<std::pair<QString, QString>> exact; // (title, message)

    KnownNotices() {
        for (Market m : kTradingOrder) {
            for (Refusal r : {Refusal::InventoryFullPurchases, Refusal::InventoryFullSales})
                exact.insert({kLotBookFullTitle, refusalMessage(r, m)});
            for (Refusal r : {Refusal::NotANumber, Refusal::FractionalAmount, Refusal::NegativeAmount,
                              Refusal::NoMorePurchases, Refusal::NoMoreSales, Refusal::NoMoreSalesBeyondLimit,
                              Refusal::MarginLimitPurchases, Refusal::MarginLimitSales, Refusal::TransactionLimit})
                exact.insert({kTraderNotificationTitle, refusalMessage(r, m)});
        }
        // Each hint, from an advisor that has given none yet.
        const std::pair<int, int> hintCases[] = {{15, 0}, {46, 1}, {20, 10}, {4, 3}};
        for (auto [period, trades] : hintCases)
            for (const Hint& h : HintAdvisor().give(period, trades)) exact.insert({h.title, h.text});
        exact += {{kTraderNotificationTitle, "   * Begin Final Day of Trading *"},
                  {kTradeLogFullTitle, kTradeLogFullMessage},
                  {kNewsHistoryTitle, kNoNewsStoriesText},
                  {kScenarioTitle, kScenarioGameUnderWay},
                  {"Saved Game", "The game has been saved."},
                  {"Saved Game", "There is no saved game to resume."},
                  {"Pellucar Continuation", "The Game is Continued for One Month"},
                  {"Pellucar Continuation", "The Game is Continued for One Quarter"},
                  {kRewindTitle, kPracticeNotice}};
        for (const Scenario& sc : scenarios()) exact.insert({sc.name, sc.brief});
        // Trainer rules: working orders refused at entry.
        for (Market m : kTradingOrder)
            for (int p = static_cast<int>(OrderProblem::NoSuchOrder);
                 p <= static_cast<int>(OrderProblem::NotChangeable); ++p)
                exact.insert({kTraderNotificationTitle, orderProblemText(static_cast<OrderProblem>(p), m)});
        exact.insert({kTraderNotificationTitle, "A Novice trades Oil only"});
    }

    // A refusal naming the largest order is the game's text for that figure: "1 Contracts" or "2 Contract" fail.
    static bool isFigureRefusal(const QString& text, bool trimmed) {
        static const QRegularExpression figure(QStringLiteral("= ([\\d,]+)"));
        if (const auto f = figure.match(text); f.hasMatch())
            for (Market m : kTradingOrder)
                for (Refusal r :
                     {Refusal::PositionLimitBuy, Refusal::PositionLimitSale, Refusal::EquityBuy, Refusal::EquitySale})
                    if (const QString own = refusalMessage(r, m, f.captured(1).remove(',').toInt());
                        (trimmed ? own.trimmed() : own) == text)
                        return true;
        return false;
    }

    // A refusal's text, whatever blanks it starts or ends with.
    bool isRefusal(const QString& text) const {
        for (const auto& [title, message] : exact)
            if (message.trimmed() == text) return true;
        return isFigureRefusal(text, true);
    }

    QString check(const QString& title, const QString& message, bool databaseNotice) const {
        static const QRegularExpression marginCall = anchored(
            QStringLiteral("You have a margin call equaling  \\$(?:[1-9]\\d{0,2}(?:,\\d{3})*)?\\.\\d\\d dollars"));
        static const QRegularExpression liquidation =
            anchored(QStringLiteral("Mandatory (?:Sale|Buy|Purchase): [1-9]\\d{0,2}(?:,\\d{3})* ") +
                     marketAlternatives() + QStringLiteral(" at \\$\\d+(?:\\.\\d+)?"));
        if (exact.contains({title, message})) return {};
        if (title == QLatin1String(kTraderNotificationTitle) && isFigureRefusal(message, false)) return {};
        if (title == QLatin1String(kMarginCallTitle) && marginCall.match(message).hasMatch()) return {};
        if (title == QLatin1String(kMarginCallLiquidationTitle) && liquidation.match(message).hasMatch()) return {};
        if (databaseNotice && title == QLatin1String("Pellucar") && !message.isEmpty()) return {};
        // Trainer rules: a fill a limit would break, and a margin call's trade, cancel working orders.
        static const QRegularExpression atFill =
            anchored(QStringLiteral("Order [1-9]\\d* was cancelled at its fill: (.+)"));
        static const QRegularExpression byMarginCall =
            anchored(QStringLiteral("The margin call's trade in ") + marketAlternatives() +
                     QStringLiteral(" cancelled its working orders \\([1-9]\\d*(?:, [1-9]\\d*)*\\)"));
        if (title == QLatin1String(kTraderNotificationTitle)) {
            if (const auto f = atFill.match(message); f.hasMatch() && isRefusal(f.captured(1))) return {};
            if (byMarginCall.match(message).hasMatch()) return {};
        }
        return QStringLiteral("unknown notification");
    }
};

// "Unrealized P(L): $..\nRealized P(L): $..\nFinal Score: $..\nverdict", with "Commissions: $..\n" first in the
// end-of-game window, and in Game Over when the game paid any (Trainer rules: the figures are checked against the
// game's own); the transcript writes line breaks as "\n".
QString checkSummary(const QString& message, bool commissions) {
    if (!commissions && message.startsWith(QLatin1String("Commissions: "))) commissions = true;
    static const QString figures =
        QStringLiteral("Unrealized P\\(L\\): (%1)\\\\nRealized P\\(L\\): (%1)\\\\nFinal Score: (%1)\\\\n(.*)")
            .arg(kMoney);
    static const QRegularExpression withCommissions =
        anchored(QStringLiteral("Commissions: %1\\\\n").arg(kMoney) + figures);
    static const QRegularExpression without = anchored(figures);
    const QRegularExpressionMatch m = (commissions ? withCommissions : without).match(message);
    if (!m.hasMatch()) return QStringLiteral("summary lines misnamed, missing or not money");
    // The score is the two figures above it, each rounded to the cent on its own.
    static const QRegularExpression marks(QStringLiteral("[$,.]"));
    const auto cents = [&](int i) { return m.captured(i).remove(marks).toLongLong(); };
    // The score is a single-precision figure: past about $80,000 its step is more than a cent.
    const long long sum = cents(1) + cents(2);
    const float magnitude = static_cast<float>(static_cast<double>(std::llabs(sum)) / 100);
    const double step = (std::nextafter(magnitude, std::numeric_limits<float>::infinity()) - magnitude) * 100.0;
    if (static_cast<double>(std::llabs(sum - cents(3))) > std::max(1.0, std::ceil(step)))
        return QStringLiteral("final score is not the sum of the P(L)s");
    const QString verdict = m.captured(4);
    static const QSet<QString> verdicts = [] {
        QSet<QString> v{QString(), QStringLiteral("You Blew Out of the Game, by Losing All of Your Money!")};
        for (int b = static_cast<int>(VerdictBand::Double); b <= static_cast<int>(VerdictBand::HeavyLoss); ++b)
            for (int column = 0; column <= 4; ++column)
                for (int pick = 1; pick <= 2; ++pick) v.insert(verdictText(static_cast<VerdictBand>(b), column, pick));
        return v;
    }();
    return verdicts.contains(verdict) ? QString() : QStringLiteral("unknown verdict");
}

bool isWhole(double v) { return std::isfinite(v) && v == std::trunc(v); }

// One trade of the record into the model, its contracts in at a stand-in price where the record's is not one the
// model can hold (`sane` then false); under Trainer rules half the round-turn rate a contract, to the cent.
void replayTrade(const TradeRecord& r, test::AccountModel& model, double& commissions, bool& sane,
                 const Settings& settings) {
    const bool ok = r.price > 0 && r.price < 1e4 && std::fabs(r.amount) < 1e6;
    sane = sane && ok;
    const bool whole = isWhole(r.amount) && std::fabs(r.amount) < 1e6;
    model.fill(r.market, whole ? std::llround(r.amount) : 0, ok ? r.price : 1.0);
    if (settings.rules == RuleSet::Trainer)
        commissions += std::round(std::fabs(r.amount) * settings.commissionRate * 50) / 100;
}

// Cents as the summaries show them: "$", the whole dollars in groups of three, two decimals.
QString money(long long cents) {
    QString whole = QString::number(std::llabs(cents) / 100);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3) whole.insert(at, ',');
    return QStringLiteral("$%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString(), whole)
        .arg(std::llabs(cents) % 100, 2, 10, QChar('0'));
}

// Why a window with these texts is not one the game may show.
QString checkWindow(const QString& window, const QString& caption, const QString& message, bool databaseNotice) {
    // The captions the game gives its windows; the others are the scripted dialogs' own constants.
    static const QHash<QString, QString> captions{
        {"frmGameOver", "Game Over"}, {"frmEndofGame", "Game Over "}, {"frmConfirm", "Resume Saved Game"}};
    static const KnownNotices notices;
    if (window == QLatin1String("frmPlayerNotification")) return notices.check(caption, message, databaseNotice);
    // A news window's caption and story come from the database as they are.
    if (window == QLatin1String("frmNewsDisplay")) return {};
    // A scenario's debrief, under the scenario's name.
    if (window == QLatin1String("frmDebrief"))
        return findScenario(caption) && !message.isEmpty() ? QString() : QStringLiteral("unknown debrief");
    if (const auto c = captions.constFind(window); c != captions.cend() && *c != caption)
        return QStringLiteral("wrong caption");
    if (window == QLatin1String("frmTradeConfirmation")) {
        static const QRegularExpression fill = anchored(
            QStringLiteral("Transaction Order Filled: [1-9]\\d{0,2}(?:,\\d{3})* ") + marketAlternatives() +
            QStringLiteral(" (?:Bought|Sold) @  (?:\\$\\d{1,3}(?:,\\d{3})*\\.\\d\\d|\\d{0,3}(?:,\\d{3})*\\.\\d{2,7})"));
        return fill.match(message).hasMatch() ? QString() : QStringLiteral("unknown fill confirmation");
    }
    if (window == QLatin1String("frmGameOver") || window == QLatin1String("frmEndofGame"))
        return checkSummary(message, window == QLatin1String("frmEndofGame"));
    return {};
}

} // namespace

QString checkTranscriptLine(const QString& line, bool databaseNotice) {
    const int colon = line.indexOf(QStringLiteral(": "));
    const int bar = line.indexOf(QStringLiteral(" | "), colon + 2);
    if (colon <= 0 || bar < 0) return QStringLiteral("malformed transcript line");
    const QString why =
        checkWindow(line.left(colon), line.mid(colon + 2, bar - colon - 2), line.mid(bar + 3), databaseNotice);
    return why.isEmpty() ? why : why + QStringLiteral(": ") + line;
}

QString checkProgramEnd(const Game& game, const QStringList& lines) {
    const QString last = lines.value(lines.size() - 1);
    if (game.exitCode() != 0) return QStringLiteral("the program ended with an error");
    for (const char* window : {"frmGameOver", "frmEndofGame", "frmDisclaimer", "frmDebrief"})
        if (last.startsWith(QLatin1String(window))) return {};
    return QStringLiteral("the program ended by itself after: ") + last;
}

QStringList GameChecker::check(const Game& game, const QStringList& lines) {
    QStringList bad;
    const GameState& s = game.state();
    const Account& account = s.desk.account;
    const TradeLog& log = s.desk.trades;

    const bool resumed = std::exchange(resumed_, false);
    if (resumed) restart();
    int fills = 0; // confirmed and margin-call trades
    bool gameReset = resumed;
    static const QString liquidation = QStringLiteral("frmPlayerNotification: %1 | ").arg(kMarginCallLiquidationTitle);
    for (const QString& line : lines) {
        if (const QString why = checkTranscriptLine(line, databaseNotice_); !why.isEmpty()) bad << why;
        if (line.startsWith(QLatin1String("frmTradeConfirmation: ")) || line.startsWith(liquidation)) ++fills;
        if (line.startsWith(QLatin1String("frmGameOver: ")) || line.startsWith(QLatin1String("frmEndofGame: ")) ||
            line.startsWith(QLatin1String("frmTimePeriod: ")))
            gameReset = true;
    }

    // The trade record: every executed trade and nothing else, numbered from 1; a new game empties it.
    const QList<TradeRecord>& records = log.records();
    if (log.count() > TradeLog::kMaxRecords)
        bad << QStringLiteral("%1 trades in a record of %2").arg(log.count()).arg(TradeLog::kMaxRecords);
    if (log.count() < replayed_ || (replayed_ > 0 && records[replayed_ - 1].number != replayed_)) {
        if (!gameReset) bad << QStringLiteral("trade record shrank without a new game");
        restart();
    } else if (!gameReset &&
               log.count() - replayed_ != fills + std::count_if(records.begin() + replayed_, records.end(),
                                                                [](const TradeRecord& r) { return r.orderId != 0; })) {
        // A working order's fill (Trainer rules) comes without a window.
        bad << QStringLiteral("%1 trades recorded, %2 filled").arg(log.count() - replayed_).arg(fills);
    }
    for (; replayed_ < log.count(); ++replayed_) {
        const TradeRecord& r = records[replayed_];
        const QString where = QStringLiteral("trade %1: ").arg(replayed_ + 1);
        if (r.number != replayed_ + 1) bad << where + QStringLiteral("numbered %1").arg(r.number);
        if (!isWhole(r.amount) || r.amount == 0 || (r.amount > 0) != (r.side == Side::Buy))
            bad << where + QStringLiteral("%1 of %2 contracts").arg(r.transaction()).arg(r.amount);
        if (r.day < 1 || r.day > s.clock.periodIndex()) bad << where + QStringLiteral("made on day %1").arg(r.day);
        // A damaged file can leave a period without a price, which the game still fills at: excused there. The model
        // holds sane prices only: such a game's realized P(L) goes unchecked, its contracts in at a stand-in price.
        if (!(r.price > 0) && !databaseNotice_) bad << where + QStringLiteral("filled at %1").arg(r.price);
        const double before = static_cast<double>(model_.position(r.market));
        replayTrade(r, model_, commissions_, pricesSane_, s.settings);
        const double after = before + r.amount;
        // A margin call only ever takes exposure away.
        if (r.marginCall && (std::fabs(after) >= std::fabs(before) || after * before < 0))
            bad << where + QStringLiteral("margin call moved %1 to %2").arg(before).arg(after);
    }

    double unrealized = 0;
    for (Market m : kTradingOrder) {
        const QString name = marketName(m) + QStringLiteral(": ");
        const double p = account.position(m);
        const LotBook& lots = account.lots(m);
        // Each lot's size and side are the model's, whose lots are whole, never empty and all on one side.
        QList<double> kept, replayed;
        for (int i = 1; i <= lots.count(); ++i) kept << lots.lot(i).units;
        for (const auto& lot : model_.lots(m)) replayed << static_cast<double>(lot.units);
        const double sum = std::accumulate(kept.begin(), kept.end(), 0.0);
        if (sum != p || lots.units() != p)
            bad << name + QStringLiteral("position %1, lots add up to %2").arg(p).arg(sum);
        // The lot-book guard refuses a new lot once 100 are open.
        if (lots.count() > 100 || lots.count() > LotBook::kCapacity)
            bad << name + QStringLiteral("%1 lots").arg(lots.count());
        if (!isWhole(p) || std::fabs(p) > contractTerms(m).positionLimit)
            bad << name + QStringLiteral("position %1 past the limit").arg(p);
        if (account.level() == Level::Novice && m != Market::Oil && p != 0)
            bad << name + QStringLiteral("a Novice holds %1").arg(p);
        if (kept != replayed) {
            const auto list = [](const QList<double>& l) {
                QStringList out;
                for (double u : l) out << QString::number(u);
                return out.join(' ');
            };
            bad << name + QStringLiteral("lots [%1], the trade record leaves [%2]").arg(list(kept), list(replayed));
        }
        if (account.level() == Level::Expert || m == Market::Oil)
            unrealized += p != 0 ? lots.unrealized(s.prices.current.get(m)) : 0.0;
    }

    // The account's value is its capital and both profits, as of the current prices, to the cent (past 131,072
    // dollars a float's own step is coarser than a cent, and the value is a float). NaN fails every row.
    const double value = account.accountValue();
    const double step = std::nextafter(static_cast<float>(value), std::numeric_limits<float>::infinity()) - value;
    const auto compare = [&bad](const char* what, double shown, double made, double tolerance) {
        if (!(std::fabs(shown - made) <= tolerance)) bad << QString(what).arg(shown, 0, 'f', 4).arg(made, 0, 'f', 4);
    };
    if (pricesSane_)
        compare("realized P(L) %1, the trade record makes %2", account.realizedPL(), model_.realized(), 0.01);
    compare("unrealized P(L) %1, the lots at current prices make %2", account.unrealizedPL(), unrealized, 0.005);
    // Trainer rules charge half the round-turn rate at each fill.
    compare("commissions paid %1, the fills make %2", account.commissionsPaid(), commissions_, 0.005);
    compare("account value %1, capital and P(L) less commissions make %2", value,
            static_cast<double>(account.startingCapital()) + account.realizedPL() + unrealized - commissions_,
            0.005 + step);

    static const QString refusal = QStringLiteral("frmPlayerNotification: %1 | ").arg(kTraderNotificationTitle);
    for (const QString& line : lines)
        if (line.startsWith(refusal))
            if (const QString why = checkRefusalFigure(s, line.mid(refusal.size())); !why.isEmpty()) bad << why;

    if (!game.model().unknownKeys().isEmpty())
        bad << QStringLiteral("the game wrote unknown controls: ") + game.model().unknownKeys().join(' ');
    return bad;
}

QString GameChecker::checkRefusalFigure(const GameState& s, const QString& message) {
    static const QRegularExpression figure(QStringLiteral("= ([\\d,]+)"));
    const QRegularExpressionMatch f = figure.match(message);
    const PendingOrder& order = s.desk.pending;
    if (!f.hasMatch() || !order.market || !order.side) return {};
    const int shown = f.captured(1).remove(',').toInt();
    const bool buy = *order.side == Side::Buy;
    for (Refusal r : buy ? std::array{Refusal::PositionLimitBuy, Refusal::EquityBuy}
                         : std::array{Refusal::PositionLimitSale, Refusal::EquitySale}) {
        if (refusalMessage(r, *order.market, shown) != message) continue;
        ++figures_;
        const long long most = model_.allowedMaximum(*order.market, buy, s.desk.account.accountValue());
        if (shown == most) return {};
        return QStringLiteral("the refusal names %1 contracts, the account allows %2: %3")
            .arg(shown)
            .arg(most)
            .arg(message);
    }
    return {};
}

QStringList GameChecker::checkSummary(const Game& game, const GameSummary& summary, bool commissions) {
    QStringList bad;
    const GameState& s = game.state();
    const QList<TradeRecord>& records = s.desk.trades.records();
    if (resumed_ || records.size() < replayed_) return bad;
    // The trades since the last check, on a copy: the check after the action replays them as usual.
    test::AccountModel model = model_;
    double paid = commissions_;
    bool sane = pricesSane_;
    for (qsizetype i = replayed_; i < records.size(); ++i) replayTrade(records[i], model, paid, sane, s.settings);
    if (!sane) return bad;
    ++figures_;
    // At the price the account was valued at: a press that ends the game has cleared the period's prices already.
    long long unrealized = 0; // in the model's 1e-5 dollars
    for (Market m : kTradingOrder)
        if (s.desk.account.level() == Level::Expert || m == Market::Oil)
            unrealized += std::llround(model.unrealized(m, s.prices.buyQuote[static_cast<size_t>(index(m))]) *
                                       test::AccountModel::kScale);
    // Half cents away from zero; a T-Bond's tenth of a cent can leave exactly half a cent, which may round either way.
    const long long unit = test::AccountModel::kScale / 100, cents = unrealized / unit, rest = unrealized % unit;
    QStringList unrealizedTexts{money(cents + (2 * rest >= unit) - (2 * rest <= -unit))};
    if (2 * std::llabs(rest) == unit) unrealizedTexts << money(cents);
    const long long realized = std::llround(model.realized() * 100);
    const float score =
        static_cast<float>(model.realized() + static_cast<double>(unrealized) / test::AccountModel::kScale);
    const auto expect = [&bad](const char* what, const QString& shown, const QStringList& made) {
        if (!made.contains(shown))
            bad << QStringLiteral("%1 shown %2, the trades make %3").arg(what, shown, made.join(" or "));
    };
    expect("realized P(L)", summary.realized, {money(realized)});
    expect("unrealized P(L)", summary.unrealized, unrealizedTexts);
    expect("final score", summary.finalScore, {money(std::llround(static_cast<double>(score) * 100))});
    if (commissions && s.settings.rules == RuleSet::Trainer)
        expect("commissions", summary.commissions, {money(std::llround(paid * 100))});
    // The review reads the same trades: a round trip for each piece of a lot closed, and their profits the realized.
    if (summary.review) {
        if (const QString why = reviewRecordProblem(*summary.review); !why.isEmpty()) return bad << "review: " + why;
        const ReviewFigures f = reviewFigures(*summary.review);
        double trips = 0;
        for (const RoundTrip& t : f.trips) trips += t.pl;
        if (f.trips.size() != model.closes().size() || std::llround(trips * 100) != realized)
            bad << QStringLiteral("the review has %1 round trips making %2, the trades %3 making %4")
                       .arg(f.trips.size())
                       .arg(trips, 0, 'f', 2)
                       .arg(model.closes().size())
                       .arg(money(realized));
    }
    return bad;
}

} // namespace pellucar::soak
