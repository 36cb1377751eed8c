#include "trading/trade_log.h"

namespace pellucar {

double statementCommission(int tradeCount) { return tradeCount * kStatementCommissionPerTrade; }

float commissionAfterTrade(float total, Level level) {
    return level == Level::Expert ? total + kExpertCommissionPerTrade : total;
}

namespace {
const QString kMarginCallSuffix = QStringLiteral(" - Margin Call");
} // namespace

QString transactionText(Side side, bool marginCall) {
    return marginCall ? sideName(side) + kMarginCallSuffix : sideName(side);
}

bool transactionFromText(const QString& text, Side* side, bool* marginCall) {
    const bool mandatory = text.endsWith(kMarginCallSuffix);
    if (!sideFromName(mandatory ? text.chopped(kMarginCallSuffix.size()) : text, side)) return false;
    *marginCall = mandatory;
    return true;
}

QString TradeRecord::transaction() const { return transactionText(side, marginCall); }

bool TradeLog::record(int day, Market market, Side side, bool marginCall, float amount, float price) {
    if (full() && !marginCall) return false;
    records_.append(TradeRecord{count() + 1, day, market, side, marginCall, amount, price});
    return true;
}

bool TradeLog::recordFill(int day, const OrderFill& fill, float amount) {
    if (!record(day, fill.market, fill.side, false, amount, static_cast<float>(fill.price))) return false;
    TradeRecord& r = records_.last();
    r.orderId = fill.id;
    r.orderType = fill.type;
    r.asked = fill.asked;
    return true;
}

} // namespace pellucar
