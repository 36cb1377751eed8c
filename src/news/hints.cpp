#include "news/hints.h"

namespace pellucar {

namespace {

Hint hint(HintId id) {
    static const char* const texts[] = {
        "Don't be Scared to Execute A Trade ",
        "Don't be Scared to Execute a Trade ",
        "Be Careful Not to Trade too Much:  Commissions Eat Up Profits",
        "  Be Careful Not to Trade too Much:  Commissions Eat Up Profits",
    };
    return {id, QLatin1String(kHintTitle), QLatin1String(texts[static_cast<int>(id)]), 1};
}

} // namespace

QString toString(HintId id) { return QStringLiteral("H%1").arg(static_cast<int>(id) + 1); }

std::optional<HintAdvisor> HintAdvisor::heldBackTo(int nextHintPeriod, int lastPeriod) {
    // give() holds back to 105 or 110, or to 90 periods past a period after
    // the third.
    const bool fixed = nextHintPeriod == 0 || nextHintPeriod == 105 || nextHintPeriod == 110;
    if (!fixed && (nextHintPeriod < 4 + 90 || nextHintPeriod > lastPeriod + 90)) return std::nullopt;
    HintAdvisor a;
    a.nextHintPeriod_ = nextHintPeriod;
    return a;
}

QList<Hint> HintAdvisor::give(int periodIndex, int tradeCount) {
    const int p = periodIndex;
    const int t = tradeCount;
    QList<Hint> out;
    if (p <= nextHintPeriod_) return out;
    // Periods per trade, in single precision: at the edges (45, 1.5) the
    // comparison must come out as the game has always made it.
    const float r = t > 0 ? static_cast<float>(p) / static_cast<float>(t) : 0.0f;

    if (p == 15 && t == 0) {
        out.append(hint(HintId::NoTradeYet));
        nextHintPeriod_ = 105;
    }
    if (t > 0 && r > 45.0f) {
        out.append(hint(HintId::TooFewTrades));
        nextHintPeriod_ = p + 90;
    }
    if (p == 20 && t >= 10) {
        out.append(hint(HintId::TooManyTradesEarly));
        nextHintPeriod_ = 110;
    }
    // Only this last step looks at the hold-back again, so a hint given just
    // above keeps it from firing in the same call.
    if (p > nextHintPeriod_ && p > 3 && t > 0 && r < 1.5f) {
        out.append(hint(HintId::TooManyTrades));
        nextHintPeriod_ = p + 90;
    }
    return out;
}

} // namespace pellucar
