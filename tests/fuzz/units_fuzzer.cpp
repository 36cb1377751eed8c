// Any text in the units box, for an account, market and side the input also chooses; the rules: README.md.
#include "fuzz_support.h"
#include "game_checks.h"

#include "trading/account.h"
#include "trading/contract_terms.h"
#include "trading/order_limits.h"

#include "support/random_player.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace pellucar;

namespace {

// Prices near each market's range in the years the game covers, in trading order.
constexpr MarketPrices kBase{20.0, 380.0, 100.0, 1000.0, 70.0, 6.0};

Market anyMarket(FuzzedDataProvider& in) { return kTradingOrder[in.ConsumeIntegralInRange<size_t>(0, 5)]; }

double priced(Market m, int percent) { return kBase[static_cast<size_t>(index(m))] * percent / 100.0; }

// Accounts a player could have built (fills within the position limit, runs of single contracts up to a full lot
// book, moved prices), made once: booking lots is slow next to the check, so an input picks one.
struct Held {
    Account account;
    MarketPrices prices = kBase;
};

void fill(Held& h, Market m, int units, double price) {
    const int limit = contractTerms(m).positionLimit;
    const float p = h.account.position(m);
    units = std::clamp(units, static_cast<int>(-limit - p), static_cast<int>(limit - p));
    h.prices[static_cast<size_t>(index(m))] = price;
    if (units != 0) h.account.applyFill(m, static_cast<float>(units), price);
}

const std::vector<Held>& pool() {
    static const std::vector<Held> accounts = [] {
        test::RandomPlayer dice(20240607);
        std::vector<Held> out;
        for (int i = 0; i < 4096; ++i) {
            Held h;
            const Level level = dice.chance(0.25) ? Level::Novice : Level::Expert;
            h.account.reset(level, dice.chance(0.1) ? static_cast<float>(dice.between(-50000, 2000000))
                                                    : Account::startingCapitalFor(level));
            for (int f = dice.between(0, 8); f > 0; --f) {
                const Market m = dice.order(level).market;
                const int limit = contractTerms(m).positionLimit;
                fill(h, m, dice.between(-limit, limit), priced(m, dice.between(30, 300)));
            }
            if (dice.chance(0.2)) {
                const Market m = dice.order(level).market;
                const int lots = dice.chance(0.5) ? dice.between(95, 101) : dice.between(1, 101);
                const int unit = dice.chance(0.5) ? 1 : -1;
                const double price = priced(m, dice.between(50, 200));
                for (int l = 0; l < lots; ++l) fill(h, m, unit, price);
            }
            if (dice.chance(0.5))
                for (double& p : h.prices) p *= dice.between(20, 400) / 100.0;
            h.account.revalue(h.prices);
            out.push_back(h);
        }
        return out;
    }();
    return accounts;
}

Account buildAccount(FuzzedDataProvider& in) {
    const std::vector<Held>& all = pool();
    Held h = all[in.ConsumeIntegral<uint16_t>() % all.size()];
    // An input's own fill revalues every lot, as dear as a thousand checks: only on a byte of 7, since short inputs
    // and the mutator's runs of zero bytes would ask for one on 0 most of the time.
    if (in.ConsumeIntegralInRange(0, 7) == 7) {
        const Market m = h.account.level() == Level::Novice ? Market::Oil : anyMarket(in);
        const int limit = contractTerms(m).positionLimit;
        fill(h, m, in.ConsumeIntegralInRange(-limit, limit), priced(m, in.ConsumeIntegralInRange(30, 300)));
        if (in.ConsumeBool())
            for (double& p : h.prices) p *= in.ConsumeIntegralInRange(20, 400) / 100.0;
        h.account.revalue(h.prices);
    }
    return h.account;
}

QString entryText(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return QString::number(in.ConsumeIntegralInRange(-600, 1200));
    case 1: {
        // A number as a person might dress it.
        static const char* const heads[] = {"", " ", "+", "-", "0", "\t", "00"};
        static const char* const tails[] = {"", " ", ".0", ".5", "e1", "e-1", ",000", "x", "\n", ".", "0"};
        const QString n = QString::number(in.ConsumeIntegralInRange(0, 500000));
        return heads[in.ConsumeIntegralInRange(0, 6)] + n + tails[in.ConsumeIntegralInRange(0, 10)];
    }
    case 2: return QString::fromUtf8(QByteArray::fromStdString(in.ConsumeRemainingBytesAsString()));
    default: return QString::fromLatin1(QByteArray::fromStdString(in.ConsumeRemainingBytesAsString()));
    }
}

QString describe(Market m, Side side, const Account& a, const QString& entry) {
    return QStringLiteral("%1 %2 of '%3'; position %4 in %5 lots, account value %6, margin %7, max by margin %8")
        .arg(sideName(side), marketName(m), entry, QString::number(a.position(m)), QString::number(a.lots(m).count()),
             QString::number(a.accountValue(), 'f', 2), QString::number(a.marginRequirement(), 'f', 2),
             QString::number(a.maxByMargin(m)));
}

bool hasNonZeroDigit(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c.digitValue() > 0; });
}

// A zero written some way a number parser reads.
bool readsAsZero(const QString& text) {
    const QByteArray latin = text.trimmed().toLatin1();
    char* end = nullptr;
    const double v = std::strtod(latin.constData(), &end);
    return (end && *end == '\0' && v == 0) || !hasNonZeroDigit(text);
}

// Checks `c`, the answer to `entry`, against the limits; returns why not.
QString judge(const UnitsCheck& c, Market m, Side side, const Account& a, const QString& entry) {
    const ContractTerms& t = contractTerms(m);
    const double p = a.position(m);
    const bool addsLot = (side == Side::Buy && p > 0) || (side == Side::Sell && p < 0);
    if (c.accepted()) {
        const double u = c.units;
        const double n = p + u;
        if (c.refused() || !c.title.isEmpty()) return QStringLiteral("accepted with a refusal");
        if (u == 0 || u != std::trunc(u) || (u > 0) != (side == Side::Buy))
            return QStringLiteral("accepted %1 contracts").arg(u);
        if (std::fabs(u) > t.transactionLimit) return QStringLiteral("accepted past the transaction limit: %1").arg(u);
        if (std::fabs(n) > t.positionLimit) return QStringLiteral("position %1 past the limit").arg(n);
        // Closing frees its margin; what is held afterwards on the new side is carried by that and the excess.
        const bool grows = (n > 0 && n > std::max(p, 0.0)) || (n < 0 && n < std::min(p, 0.0));
        if (grows && std::fabs(n) > std::fabs(p) + a.maxByMargin(m))
            return QStringLiteral("position %1 is more than the margin carries").arg(n);
        if (addsLot && a.lots(m).count() >= 100) return QStringLiteral("a new lot in a full lot book");
        if (!hasNonZeroDigit(entry)) return QStringLiteral("accepted an entry without a figure");
        return {};
    }
    if (c.refused()) {
        const QString why =
            soak::checkTranscriptLine(QStringLiteral("frmPlayerNotification: %1 | %2").arg(c.title, c.message));
        if (!why.isEmpty()) return why;
        const bool full = c.refusal == Refusal::InventoryFullPurchases || c.refusal == Refusal::InventoryFullSales;
        if (full != (c.next == NextStep::ChangePeriod)) return QStringLiteral("lot-book refusal goes the wrong way");
        if (full && !(addsLot && a.lots(m).count() >= 100)) return QStringLiteral("lot book called full");
        if (c.next == NextStep::VerifyOrder) return QStringLiteral("refused and verified");
        // A text that names the largest order names the one the display shows.
        const int allowed = OrderLimits::allowedMaximum(m, side, a).allowed;
        if (c.message.contains(QLatin1String("Maximum Allowed")) && refusalMessage(c.refusal, m, allowed) != c.message)
            return QStringLiteral("refusal names another maximum than %1").arg(allowed);
        return {};
    }
    if (c.next != NextStep::Trade) return QStringLiteral("neither accepted, refused nor cancelled");
    if (!entry.trimmed().isEmpty() && !readsAsZero(entry)) return QStringLiteral("cancelled a non-zero entry");
    return {};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startQt();
    pool();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const Account account = buildAccount(in);
    const Market m = anyMarket(in);
    const Side side = in.ConsumeBool() ? Side::Buy : Side::Sell;
    const QString entry = entryText(in);

    OrderLimits limits;
    limits.refresh(account, 1);
    const UnitsCheck c = limits.check(m, side, entry, account);
    if (const QString why = judge(c, m, side, account, entry); !why.isEmpty())
        fuzz::fail("units entry", {why, describe(m, side, account, entry), c.title + " | " + c.message});

    // The desk's figures agree with the check: a smaller order than one accepted goes through, and so does the
    // largest order the display offers.
    const auto accepts = [&](const char* rule, const QString& text) {
        const UnitsCheck s = limits.check(m, side, text, account);
        const QString why = s.accepted() ? judge(s, m, side, account, text) : QStringLiteral("refused: ") + s.message;
        if (!why.isEmpty()) fuzz::fail(rule, {why, describe(m, side, account, text)});
    };
    if (c.accepted() && std::fabs(c.units) >= 2) accepts("a smaller order", QString::number(std::fabs(c.units) - 1));
    const int shown = OrderLimits::selectedMaximum(m, side, account);
    if (shown >= 1 && !OrderLimits::lotBookGuard(m, side, account))
        accepts("the maximum shown", QString::number(shown));
    return 0;
}
