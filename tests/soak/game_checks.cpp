#include "game_checks.h"

#include "app/scenarios.h"
#include "app/verdicts.h"
#include "common/format.h"
#include "news/hints.h"
#include "news/news_history.h"
#include "trading/contract_terms.h"
#include "trading/order_limits.h"
#include "trading/order_texts.h"
#include "trading/trade_log.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <cmath>
#include <limits>
#include <utility>

namespace pellucar::soak {

namespace {

// A whole number as "#,##0" writes it.
const QString kWhole = QStringLiteral("(?:0|[1-9]\\d{0,2}(?:,\\d{3})*)");
// Money as the summaries show it: "$" and the "Standard" form.
const QString kMoney = QStringLiteral("\\$-?\\d{1,3}(?:,\\d{3})*\\.\\d\\d");

QRegularExpression anchored(const QString& pattern) {
    return QRegularExpression(QStringLiteral("\\A(?:") + pattern + QStringLiteral(")\\z"));
}

QString marketAlternatives() {
    QStringList names;
    for (Market m : kTradingOrder) names << marketName(m);
    return QStringLiteral("(?:") + names.join('|') + ')';
}

// The refusals whose text names the largest allowed order.
constexpr Refusal kNamedMaximum[] = {Refusal::PositionLimitBuy, Refusal::PositionLimitSale, Refusal::EquityBuy,
                                     Refusal::EquitySale};

struct ShapedRefusal {
    QRegularExpression re; // captures the maximum
    Refusal refusal;
    Market market;
};

// Every notification the game may show: fixed (title, message) pairs and
// the texts that carry a figure, by shape.
struct KnownNotices {
    QSet<QString> exact; // "title\x1fmessage"
    QList<ShapedRefusal> refusals;
    QRegularExpression marginCall;
    QRegularExpression liquidation;

    static QString pair(const QString& title, const QString& message) { return title + QChar(0x1f) + message; }

    KnownNotices() {
        const QString trader = QString::fromLatin1(kTraderNotificationTitle);
        for (Market m : kTradingOrder) {
            for (Refusal r : {Refusal::InventoryFullPurchases, Refusal::InventoryFullSales})
                exact.insert(pair(QString::fromLatin1(kLotBookFullTitle), refusalMessage(r, m)));
            for (Refusal r : {Refusal::NotANumber, Refusal::FractionalAmount, Refusal::NegativeAmount,
                              Refusal::NoMorePurchases, Refusal::NoMoreSales, Refusal::NoMoreSalesBeyondLimit,
                              Refusal::MarginLimitPurchases, Refusal::MarginLimitSales, Refusal::TransactionLimit})
                exact.insert(pair(trader, refusalMessage(r, m)));
            // The figure's place is found from a sentinel no real maximum has.
            const int sentinel = 987654321;
            for (Refusal r : kNamedMaximum) {
                QString text = QRegularExpression::escape(refusalMessage(r, m, sentinel));
                text.replace(QRegularExpression::escape(formatWhole(sentinel)), QStringLiteral("(") + kWhole + ')');
                text.replace(QStringLiteral("Contracts"), QStringLiteral("Contracts?"));
                refusals.append({anchored(text), r, m});
            }
        }
        // Each hint, from an advisor that has given none yet.
        const std::pair<int, int> hintCases[] = {{15, 0}, {46, 1}, {20, 10}, {4, 3}};
        for (auto [period, trades] : hintCases)
            for (const Hint& h : HintAdvisor().give(period, trades)) exact.insert(pair(h.title, h.text));
        exact.insert(pair(trader, QStringLiteral("   * Begin Final Day of Trading *")));
        exact.insert(pair(QString::fromLatin1(kTradeLogFullTitle), QString::fromLatin1(kTradeLogFullMessage)));
        exact.insert(pair(QString::fromLatin1(kNewsHistoryTitle), QString::fromLatin1(kNoNewsStoriesText)));
        exact.insert(pair(QStringLiteral("Saved Game"), QStringLiteral("The game has been saved.")));
        exact.insert(pair(QString::fromLatin1(kScenarioTitle), QString::fromLatin1(kScenarioGameUnderWay)));
        for (const Scenario& sc : scenarios()) exact.insert(pair(sc.name, sc.brief));
        exact.insert(pair(QStringLiteral("Saved Game"), QStringLiteral("There is no saved game to resume.")));
        exact.insert(
            pair(QStringLiteral("Pellucar Continuation"), QStringLiteral("The Game is Continued for One Month")));
        exact.insert(
            pair(QStringLiteral("Pellucar Continuation"), QStringLiteral("The Game is Continued for One Quarter")));
        marginCall = anchored(
            QStringLiteral("You have a margin call equaling  \\$(?:[1-9]\\d{0,2}(?:,\\d{3})*)?\\.\\d\\d dollars"));
        liquidation = anchored(QStringLiteral("Mandatory (?:Sale|Buy|Purchase): [1-9]\\d{0,2}(?:,\\d{3})* ") +
                               marketAlternatives() + QStringLiteral(" at \\$\\d+(?:\\.\\d+)?"));
    }

    QString check(const QString& title, const QString& message, bool databaseNotice) const {
        if (exact.contains(pair(title, message))) return {};
        if (title == QLatin1String(kTraderNotificationTitle)) {
            for (const ShapedRefusal& s : refusals) {
                const auto m = s.re.match(message);
                if (!m.hasMatch()) continue;
                const int named = m.captured(1).remove(',').toInt();
                // The figure is read back through the game's own text so
                // "1 Contracts" or "2 Contract" would not pass.
                if (refusalMessage(s.refusal, s.market, named) == message) return {};
                return QStringLiteral("refusal text does not fit its figure");
            }
        }
        if (title == QLatin1String(kMarginCallTitle) && marginCall.match(message).hasMatch()) return {};
        if (title == QLatin1String(kMarginCallLiquidationTitle) && liquidation.match(message).hasMatch()) return {};
        if (databaseNotice && title == QLatin1String("Pellucar") && !message.isEmpty()) return {};
        return QStringLiteral("unknown notification");
    }
};

// "Unrealized P(L): $..\nRealized P(L): $..\nFinal Score: $..\nverdict",
// with "Commissions: $..\n" before it in the end-of-game window. The
// transcript writes line breaks as "\n".
QString checkSummary(const QString& message, bool commissions) {
    QStringList parts = message.split(QStringLiteral("\\n"));
    QStringList heads{QStringLiteral("Unrealized P(L): "), QStringLiteral("Realized P(L): "),
                      QStringLiteral("Final Score: ")};
    if (commissions) heads.prepend(QStringLiteral("Commissions: "));
    if (parts.size() < heads.size() + 1) return QStringLiteral("summary has too few lines");
    static const QRegularExpression money = anchored(kMoney);
    for (int i = 0; i < heads.size(); ++i) {
        if (!parts[i].startsWith(heads[i])) return QStringLiteral("summary line %1 misnamed").arg(i + 1);
        if (!money.match(parts[i].mid(heads[i].size())).hasMatch())
            return QStringLiteral("summary figure %1 is not money").arg(i + 1);
    }
    const QString verdict = parts.mid(heads.size()).join(QStringLiteral("\\n"));
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

} // namespace

QString checkTranscriptLine(const QString& line, bool databaseNotice) {
    const int colon = line.indexOf(QStringLiteral(": "));
    const int bar = line.indexOf(QStringLiteral(" | "), colon + 2);
    if (colon <= 0 || bar < 0) return QStringLiteral("malformed transcript line");
    const QString window = line.left(colon);
    // Window captions never hold " | "; a news title is the one caption from
    // the database and may, so the message starts at the last bar for it.
    const QString caption = line.mid(colon + 2, bar - colon - 2);
    const QString message = line.mid(bar + 3);
    static const QHash<QString, QString> captions{
        {"frmAboutKestrow", "About Pellucar"},
        {"frmCustom", "Custom Programming"},
        {"frmDisclaimer", "Disclaimer Statement"},
        {"frmTimePeriod", "Game Level Options"},
        {"frmLevelSelected", "Level Detail"},
        {"frmCommoditySelect", "Pellucar"},
        {"frmCommiss", "Commission Charges"},
        {"frmScreenColor", "Screen Color"},
        {"Help", "dunmere.hlp"},
        {"frminitialize", "Pellucar"},
        {"Print", "Dunmere"},
        {"frmGameOver", "Game Over"},
        {"frmEndofGame", "Game Over "},
        {"frmTradeConfirmation", "Electronic Mail:  Trade Confirmation"},
        {"frmConfirm", "Resume Saved Game"},
        {"frmScenarios", kScenarioTitle},
    };
    if (window == QLatin1String("frmPlayerNotification")) {
        static const KnownNotices notices;
        const QString why = notices.check(caption, message, databaseNotice);
        return why.isEmpty() ? why : why + QStringLiteral(": ") + line;
    }
    if (window == QLatin1String("frmNewsDisplay")) {
        return line.mid(colon + 2).trimmed().isEmpty() ? QStringLiteral("news window without a story or title")
                                                       : QString();
    }
    if (!captions.contains(window)) return QStringLiteral("unknown window: ") + line;
    if (captions[window] != caption) return QStringLiteral("wrong caption: ") + line;
    if (window == QLatin1String("frmTradeConfirmation")) {
        static const QRegularExpression fill = anchored(
            QStringLiteral("Transaction Order Filled: [1-9]\\d{0,2}(?:,\\d{3})* ") + marketAlternatives() +
            QStringLiteral(" (?:Bought|Sold) @  (?:\\$\\d{1,3}(?:,\\d{3})*\\.\\d\\d|\\d{0,3}(?:,\\d{3})*\\.\\d{2,7})"));
        return fill.match(message).hasMatch() ? QString() : QStringLiteral("unknown fill confirmation: ") + line;
    }
    if (window == QLatin1String("frmGameOver") || window == QLatin1String("frmEndofGame")) {
        const QString why = checkSummary(message, window == QLatin1String("frmEndofGame"));
        return why.isEmpty() ? why : why + QStringLiteral(": ") + line;
    }
    if (window == QLatin1String("Print") && message != QLatin1String("printed")) return QStringLiteral("print failed");
    if (window == QLatin1String("frminitialize") && message != QLatin1String("Initializing Data:  please wait"))
        return QStringLiteral("unknown loading text: ") + line;
    return {};
}

void GameChecker::restart() {
    replayed_ = 0;
    // Only lots and realized P(L) are compared: level and capital do not matter.
    model_ = test::AccountModel(Level::Expert, 0);
    pricesSane_ = true;
}

QStringList GameChecker::check(const Game& game, const QStringList& lines) {
    QStringList bad;
    const GameState& s = game.state();
    const TradingDesk& desk = s.desk;
    const Account& account = desk.account;
    const TradeLog& log = desk.trades;

    const bool resumed = std::exchange(resumed_, false);
    if (resumed) restart();
    // Windows and their texts; what the action traded and released.
    int confirmations = 0, liquidations = 0;
    bool gameReset = resumed;
    for (const QString& line : lines) {
        const QString why = checkTranscriptLine(line, databaseNotice_);
        if (!why.isEmpty()) bad << why;
        if (line.startsWith(QLatin1String("frmTradeConfirmation: "))) ++confirmations;
        if (line.startsWith(QLatin1String("frmPlayerNotification: ") + QLatin1String(kMarginCallLiquidationTitle) +
                            " | "))
            ++liquidations;
        if (line.startsWith(QLatin1String("frmGameOver: ")) || line.startsWith(QLatin1String("frmEndofGame: ")) ||
            line.startsWith(QLatin1String("frmTimePeriod: ")))
            gameReset = true;
    }

    // The trade record: every executed trade and nothing else, numbered
    // from 1; a new game empties it.
    const QList<TradeRecord>& records = log.records();
    if (log.count() > TradeLog::kMaxRecords)
        bad << QStringLiteral("%1 trades in a record of %2").arg(log.count()).arg(TradeLog::kMaxRecords);
    if (log.count() < replayed_ || (replayed_ > 0 && records[replayed_ - 1].number != replayed_)) {
        if (!gameReset) bad << QStringLiteral("trade record shrank without a new game");
        restart();
    } else if (!gameReset && log.count() - replayed_ != confirmations + liquidations) {
        bad << QStringLiteral("%1 trades recorded, %2 confirmed and %3 margin-call trades")
                   .arg(log.count() - replayed_)
                   .arg(confirmations)
                   .arg(liquidations);
    }
    for (; replayed_ < log.count(); ++replayed_) {
        const TradeRecord& r = records[replayed_];
        const QString where = QStringLiteral("trade %1: ").arg(replayed_ + 1);
        if (r.number != replayed_ + 1) bad << where + QStringLiteral("numbered %1").arg(r.number);
        if (!isWhole(r.amount) || r.amount == 0 || (r.amount > 0) != (r.side == Side::Buy))
            bad << where + QStringLiteral("%1 of %2 contracts").arg(r.transaction()).arg(r.amount);
        if (r.day < 1 || r.day > s.clock.periodIndex()) bad << where + QStringLiteral("made on day %1").arg(r.day);
        // A damaged file can leave a period without a price, which the game
        // still fills at (0 for the T-Bond): excused only where damaged files
        // are the point. The model holds sane prices only, so such a game's
        // realized P(L) goes unchecked; its contracts go in at a stand-in price.
        if (!(r.price > 0) && !databaseNotice_) bad << where + QStringLiteral("filled at %1").arg(r.price);
        const bool sane = r.price > 0 && r.price < 1e4 && std::fabs(r.amount) < 1e6;
        pricesSane_ = pricesSane_ && sane;
        const double before = static_cast<double>(model_.position(r.market));
        const bool whole = isWhole(r.amount) && std::fabs(r.amount) < 1e6;
        model_.fill(r.market, whole ? std::llround(r.amount) : 0, sane ? r.price : 1.0);
        const double after = before + r.amount;
        // A margin call only ever takes exposure away.
        if (r.marginCall && (std::fabs(after) >= std::fabs(before) || after * before < 0))
            bad << where + QStringLiteral("margin call moved %1 to %2").arg(before).arg(after);
    }

    // Positions, lots and limits, market by market.
    double unrealized = 0;
    for (Market m : kTradingOrder) {
        const QString name = marketName(m) + QStringLiteral(": ");
        const double p = account.position(m);
        const LotBook& lots = account.lots(m);
        // Each lot's size and side are the model's (below), whose lots are
        // whole, never empty and all on one side.
        double sum = 0;
        for (int i = 1; i <= lots.count(); ++i) sum += lots.lot(i).units;
        if (sum != p || lots.units() != p)
            bad << name + QStringLiteral("position %1, lots add up to %2").arg(p).arg(sum);
        // The lot-book guard refuses a new lot once 100 are open.
        if (lots.count() > 100 || lots.count() > LotBook::kCapacity)
            bad << name + QStringLiteral("%1 lots").arg(lots.count());
        if (!isWhole(p) || std::fabs(p) > contractTerms(m).positionLimit)
            bad << name + QStringLiteral("position %1 past the limit").arg(p);
        if (account.level() == Level::Novice && m != Market::Oil && p != 0)
            bad << name + QStringLiteral("a Novice holds %1").arg(p);
        const auto& model = model_.lots(m);
        bool same = static_cast<int>(model.size()) == lots.count();
        for (int i = 0; same && i < lots.count(); ++i)
            same = static_cast<double>(model[static_cast<size_t>(i)].units) == lots.lot(i + 1).units;
        if (!same) {
            QStringList kept, replayed;
            for (int i = 1; i <= lots.count(); ++i) kept << QString::number(lots.lot(i).units);
            for (const auto& lot : model) replayed << QString::number(lot.units);
            bad << name + QStringLiteral("lots [%1], the trade record leaves [%2]")
                              .arg(kept.join(' '), replayed.join(' '));
        }
        if (account.level() == Level::Expert || m == Market::Oil)
            unrealized += p != 0 ? lots.unrealized(s.prices.current.get(m)) : 0.0;
    }

    if (pricesSane_ && std::fabs(account.realizedPL() - model_.realized()) > 0.01)
        bad << QStringLiteral("realized P(L) %1, the trade record makes %2")
                   .arg(account.realizedPL(), 0, 'f', 2)
                   .arg(model_.realized(), 0, 'f', 2);
    // The account's value is its capital and both profits, as of the
    // current prices, to the cent (past 131,072 dollars a float's own step
    // is coarser than a cent, and the value is a float).
    const double expected = static_cast<double>(account.startingCapital()) + account.realizedPL() + unrealized;
    const double value = account.accountValue();
    const double step = std::nextafter(static_cast<float>(value), std::numeric_limits<float>::infinity()) - value;
    if (std::fabs(account.unrealizedPL() - unrealized) > 0.005)
        bad << QStringLiteral("unrealized P(L) %1, the lots at current prices make %2")
                   .arg(account.unrealizedPL(), 0, 'f', 4)
                   .arg(unrealized, 0, 'f', 4);
    if (!(std::fabs(value - expected) <= 0.005 + step))
        bad << QStringLiteral("account value %1, capital and P(L) make %2")
                   .arg(value, 0, 'f', 4)
                   .arg(expected, 0, 'f', 4);

    if (!game.model().unknownKeys().isEmpty())
        bad << QStringLiteral("the game wrote unknown controls: ") + game.model().unknownKeys().join(' ');
    return bad;
}

} // namespace pellucar::soak
