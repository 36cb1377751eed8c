#include "trading/order_limits.h"

#include "common/format.h"
#include "trading/account.h"
#include "trading/contract_terms.h"
#include "trading/order_texts.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace pellucar {

namespace {

int toContracts(double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); }

NextStep stepAfter(Refusal r) {
    switch (r) {
    case Refusal::None: return NextStep::VerifyOrder;
    case Refusal::InventoryFullPurchases:
    case Refusal::InventoryFullSales: return NextStep::ChangePeriod;
    case Refusal::NotANumber:
    case Refusal::FractionalAmount:
    case Refusal::EquityBuy:
    case Refusal::EquitySale:
    case Refusal::TransactionLimit: return NextStep::AskAgain;
    case Refusal::NegativeAmount:
    case Refusal::NoMorePurchases:
    case Refusal::PositionLimitBuy:
    case Refusal::NoMoreSales:
    case Refusal::NoMoreSalesBeyondLimit:
    case Refusal::PositionLimitSale:
    case Refusal::MarginLimitPurchases:
    case Refusal::MarginLimitSales: return NextStep::Trade;
    }
    return NextStep::Trade;
}

UnitsCheck refused(Refusal r, Market m, int allowed = 0) {
    UnitsCheck c;
    c.next = stepAfter(r);
    c.refusal = r;
    const bool lotBook = r == Refusal::InventoryFullPurchases || r == Refusal::InventoryFullSales;
    c.title = QString::fromLatin1(lotBook ? kLotBookFullTitle : kTraderNotificationTitle);
    c.message = refusalMessage(r, m, allowed);
    return c;
}

UnitsCheck cancelled() { return UnitsCheck{}; }

// The limits one check works with; positions and contracts as doubles, so
// no sum can overflow.
struct Limits {
    double position; // p
    double allowed;  // A
    double margin;   // M
    double positionLimit;
    double transactionLimit;
};

Refusal buyLadder(const Limits& k, double u) {
    const double p = k.position, n = p + u, L = k.positionLimit, M = k.margin;
    if (u <= k.allowed && n <= M && n <= L) return Refusal::None;
    if (n <= 0) return Refusal::None; // only reduces a short
    if (p == L) return Refusal::NoMorePurchases;
    if (p >= M) return Refusal::MarginLimitPurchases;
    if (n > M && n <= L) return Refusal::EquityBuy;
    if (n > M && n > L) return L - p <= 0 ? Refusal::NoMorePurchases : Refusal::PositionLimitBuy;
    if (u > k.allowed) return Refusal::EquityBuy;
    return u <= k.transactionLimit ? Refusal::None : Refusal::TransactionLimit;
}

Refusal saleLadder(const Limits& k, double u) {
    const double p = k.position, n = p - u, L = k.positionLimit, M = k.margin;
    if (u <= k.allowed && p >= -M && n >= -L) return Refusal::None;
    if (n >= 0) return Refusal::None; // only reduces a long
    if (p == -L) return Refusal::NoMoreSales;
    if (p <= -M) return Refusal::MarginLimitSales;
    if (std::fabs(n) > M && std::fabs(n) <= L) return Refusal::EquitySale;
    if (std::fabs(n) > L) return p + L <= 0 ? Refusal::NoMoreSalesBeyondLimit : Refusal::PositionLimitSale;
    if (u > k.allowed) return Refusal::EquitySale;
    return u <= k.transactionLimit ? Refusal::None : Refusal::TransactionLimit;
}

QString positionLimitText(const QString& name, int limit, const char* tail) {
    return name + QStringLiteral(" Position Limit is  ") + QString::number(limit) + QStringLiteral("  Contracts:  ") +
           QLatin1String(tail);
}

} // namespace

QString refusalMessage(Refusal refusal, Market m, int allowed) {
    const ContractTerms& t = contractTerms(m);
    const QString name = marketName(m);
    const QString a = formatWhole(allowed);
    switch (refusal) {
    case Refusal::None: return {};
    case Refusal::InventoryFullPurchases:
        return QStringLiteral("No Additional ") + name + QStringLiteral(" Purchases Allowed - Current ") + name +
               QStringLiteral(" Inventory to Large: Try Selling");
    case Refusal::InventoryFullSales:
        return QStringLiteral("No Additional ") + name + QStringLiteral(" Sales Allowed - Current ") + name +
               QStringLiteral(" Inventory to Large: Try Buying");
    case Refusal::NotANumber: return QStringLiteral("Please Enter Only Numbers");
    case Refusal::FractionalAmount: return QStringLiteral("You cannot transact fractional amounts");
    case Refusal::NegativeAmount: return QStringLiteral("You cannot transact a negative amount for any commodity");
    case Refusal::NoMorePurchases: return positionLimitText(name, t.positionLimit, "No More Purchases Allowed");
    case Refusal::PositionLimitBuy: return positionLimitText(name, t.positionLimit, "Maximum Allowed Buy = ") + a;
    case Refusal::NoMoreSales:
        // Players have always seen the bond market spelt this way here.
        return positionLimitText(m == Market::TBond ? QStringLiteral("Tbond") : name, t.positionLimit,
                                 "No More Sales Allowed");
    case Refusal::NoMoreSalesBeyondLimit:
        return name + QStringLiteral(" Position Limit is ") + QString::number(t.positionLimit) +
               QStringLiteral(" Contracts:  No More Sales Allowed");
    case Refusal::PositionLimitSale: return positionLimitText(name, t.positionLimit, "Maximum Allowed Sale = ") + a;
    case Refusal::MarginLimitPurchases: return QStringLiteral("Margin Limit Reached:  No More Purchases Allowed");
    case Refusal::MarginLimitSales: return QStringLiteral("Margin Limit Reached:  No More Sales Allowed");
    case Refusal::EquityBuy:
        return QStringLiteral("Not Enough Account Equity: ") + QStringLiteral("Maximum Allowed Buy = ") + a +
               QStringLiteral(" Contracts");
    case Refusal::EquitySale:
        return QStringLiteral("Not Enough Account Equity: ") + QStringLiteral(" Maximum Allowed Sale = ") + a +
               (allowed == 1 ? QStringLiteral(" Contract") : QStringLiteral(" Contracts"));
    case Refusal::TransactionLimit:
        // Names the transaction limit, the figure the check compares with.
        return QStringLiteral("* Maximum Transaction Allowed is  ") + QString::number(t.transactionLimit) +
               QStringLiteral("  Contracts *");
    }
    return {};
}

AllowedMaximum OrderLimits::allowedMaximum(Market m, Side side, const Account& account) {
    const ContractTerms& t = contractTerms(m);
    const double p = account.position(m);
    const double held = std::fabs(p);
    const double L = t.positionLimit;
    const double byMargin = account.maxByMargin(m);
    const double M = held + byMargin;
    double A = 0;
    if (side == Side::Buy && p < 0) {
        A = 2 * held + byMargin;
        if (L <= A - held) A = held + L;
        A = std::max(A, held);
    } else if (side == Side::Buy) {
        A = L <= byMargin + p ? L - p : byMargin;
    } else if (p > 0) {
        A = 2 * p + byMargin;
        if (L <= A - p) A = p + L;
        A = std::max(A, p);
    } else {
        A = L <= held + byMargin ? p + L : byMargin;
    }
    return {toContracts(std::min<double>(A, t.transactionLimit)), toContracts(std::min(M, L))};
}

std::optional<UnitsCheck> OrderLimits::lotBookGuard(Market m, Side side, const Account& account) {
    // One lot short of a full book: a further lot on the position's side
    // could not be booked.
    constexpr int kMostLots = 100;
    const float p = account.position(m);
    if (account.lots(m).count() < kMostLots) return std::nullopt;
    if (p > 0 && side == Side::Buy) return refused(Refusal::InventoryFullPurchases, m);
    if (p < 0 && side == Side::Sell) return refused(Refusal::InventoryFullSales, m);
    return std::nullopt;
}

int OrderLimits::selectedMaximum(Market m, Side side, const Account& account) {
    return account.accountValue() > 0 ? allowedMaximum(m, side, account).allowed : 0;
}

UnitsCheck OrderLimits::check(Market m, Side side, const QString& entry, const Account& account) {
    held_.reset();
    if (auto guard = lotBookGuard(m, side, account)) return *guard;
    const AllowedMaximum most = allowedMaximum(m, side, account);
    marginMaximum_[slot(m)] = most.marginMaximum;

    const QString text = entry.trimmed();
    if (text.isEmpty()) return cancelled();
    bool isNumber = false;
    // A plain count of contracts, as nearly every entry is, reads directly;
    // anything else as the C locale reads it.
    double v = 0;
    if (text.size() <= 9 && text.front() >= u'1' && text.front() <= u'9' &&
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        for (const QChar c : text) v = v * 10 + (c.unicode() - u'0');
        isNumber = true;
    } else {
        v = QLocale::c().toDouble(text, &isNumber);
    }
    if (!isNumber || !std::isfinite(v)) return refused(Refusal::NotANumber, m);
    v = std::clamp(v, -kLargestEntry, kLargestEntry);
    if (v != std::trunc(v)) return refused(Refusal::FractionalAmount, m);
    if (v == 0) return cancelled();
    if (v < 0) return refused(Refusal::NegativeAmount, m);

    const ContractTerms& t = contractTerms(m);
    const Limits limits{account.position(m), static_cast<double>(most.allowed), static_cast<double>(most.marginMaximum),
                        static_cast<double>(t.positionLimit), static_cast<double>(t.transactionLimit)};
    const Refusal r = side == Side::Buy ? buyLadder(limits, v) : saleLadder(limits, v);
    if (r != Refusal::None) return refused(r, m, most.allowed);

    held_ = m;
    UnitsCheck ok;
    ok.next = NextStep::VerifyOrder;
    ok.units = static_cast<float>(side == Side::Buy ? v : -v);
    return ok;
}

void OrderLimits::reset() {
    freeMargin_.fill(0);
    marginMaximum_.fill(0);
    held_.reset();
}

void OrderLimits::refresh(const Account& account, int periodIndex) {
    const float value = account.accountValue();
    const float free = value > 0 ? static_cast<float>(value - account.marginRequirement()) : 0.0f;
    for (Market m : kTradingOrder) {
        if (held_ == m) continue;
        freeMargin_[slot(m)] = free;
        if (value <= 0) {
            marginMaximum_[slot(m)] = 0;
            continue;
        }
        if (account.level() == Level::Novice && m != Market::Oil) continue;
        const double dollars = periodIndex == 0 ? account.startingCapital() : free;
        marginMaximum_[slot(m)] = std::min(contractsCarried(dollars, m), contractTerms(m).largestMarginMaximum);
    }
}

int OrderLimits::positionMaximum(Market m, const Account& account) {
    const float value = account.accountValue();
    if (value <= 0) {
        freeMargin_[slot(m)] = 0;
        return 0;
    }
    freeMargin_[slot(m)] = value;
    return std::min(contractsCarried(value, m), contractTerms(m).largestMarginMaximum);
}

} // namespace pellucar
