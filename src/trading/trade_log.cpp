#include "trading/trade_log.h"

namespace pellucar {

double statementCommission(int tradeCount) {
    return tradeCount * kStatementCommissionPerTrade;
}

float commissionAfterTrade(float total, Level level) {
    return level == Level::Expert ? total + kExpertCommissionPerTrade : total;
}

QString transactionText(Side side, bool marginCall) {
    return marginCall ? sideName(side) + QStringLiteral(" - Margin Call") : sideName(side);
}

bool TradeLog::record(int day, Market market, Side side, bool marginCall, float amount, float price) {
    if (full() && !marginCall) return false;
    records_.append(TradeRecord{count() + 1, day, market, transactionText(side, marginCall), amount, price});
    return true;
}

} // namespace pellucar
