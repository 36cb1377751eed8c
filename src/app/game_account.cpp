#include "app/game.h"
#include "common/format.h"
#include "trading/contract_terms.h"

#include <cmath>

namespace pellucar {

namespace {

struct StateRow {
    const char* name;
    QStringList hide;
    QStringList show;
    const char* heading; // nullptr keeps the heading
};

const QList<StateRow>& orderStates() {
    static const QList<StateRow> rows{
        {"ChangePeriod",
         {"btnYes", "btnNo", "btnBuy", "btnSell", "btnHold", "shapeTradeCentral", "promptUnits", "promptPrice",
          "inputUnits", "inputPrice", "lblorderverify"},
         {"ShapeNextPeriod", "btnChangePeriod", "btnTrade"},
         "Trader Input:"},
        {"Trade",
         {"promptUnits", "btnYes", "btnNo", "btnChangePeriod", "btnTrade", "ShapeNextPeriod", "lblorderverify"},
         {"shapeTradeCentral"},
         nullptr},
        {"GetUnits",
         {"btnBuy", "btnSell", "btnHold", "ShapeNextPeriod", "lblorderverify", "Label8"},
         {"shapeTradeCentral", "promptUnits", "lblTraderInput", "Shape3"},
         nullptr},
        {"CorrOrd",
         {"btnBuy", "btnSell", "btnHold", "ShapeNextPeriod", "promptUnits", "inputUnits", "promptPrice",
          "inputPrice"},
         {"shapeTradeCentral", "lblorderverify", "btnYes", "btnNo"},
         "Order Verification:"},
        {"TradeConfirmation",
         {"btnBuy", "btnSell", "btnHold", "shapeTradeCentral", "promptUnits", "promptPrice", "inputUnits",
          "inputPrice", "lblorderverify"},
         {"ShapeNextPeriod", "lblTraderInput"},
         nullptr},
        {"Restart",
         {"btnYes", "btnNo", "btnBuy", "btnSell", "btnHold", "shapeTradeCentral", "promptUnits", "promptPrice",
          "inputUnits", "inputPrice", "lblorderverify"},
         {"btnTrade", "ShapeNextPeriod", "lblTraderInput", "btnTradeHist", "btnNewsHist"},
         nullptr},
    };
    return rows;
}

QString positionKey(Market m) { return QStringLiteral("lbl%1Pos").arg(marketName(m)); }
QString positionNameKey(Market m) {
    return m == Market::Oil ? QStringLiteral("labelOilPos") : QStringLiteral("Label%1Pos").arg(marketName(m));
}

} // namespace

void Game::SetOrderState(const QString& state) {
    for (const StateRow& row : orderStates()) {
        if (state != QLatin1String(row.name)) continue;
        for (const QString& k : row.hide) model_.setVisible(k, false);
        for (const QString& k : row.show) model_.setVisible(k, true);
        if (row.heading) model_.setText("lblTraderInput", QString::fromLatin1(row.heading));
        if (state == QLatin1String("ChangePeriod") || state == QLatin1String("Restart")) tradebuttonvisible(false);
        if (state == QLatin1String("Restart")) model_.setEnabled("btnTrade", false);
        s_.orderState = state;
        break;
    }
    LayoutCharts();
}

void Game::ClearOrder() {
    s_.pending.units = 0;
    s_.pending.side.clear();
    s_.pending.fillPrice = 0;
    s_.pending.market.clear();
}

void Game::CalcAccountValue() {
    // Unrealized profit and loss comes from the lot books of the trading
    // desk; with no open lots it is zero.
    s_.accountValue = static_cast<float>(s_.startingCapital + s_.unrealizedPL + s_.realizedPL);
}

void Game::RevalueAccount() {
    CalcAccountValue();
    ShowAccountFigures();
}

void Game::ShowPositionLabels() {
    if (s_.periodIndex == 0) s_.positions.fill(0);
    const bool novice = s_.settings.level == Level::Novice;
    for (Market m : kTradingOrder) {
        float& pos = s_.positions[static_cast<size_t>(index(m))];
        pos = static_cast<float>(roundByPatternF(pos, QStringLiteral("#,##0")));
        model_.setText(positionKey(m), formatWhole(pos));
        const bool shown = !novice || m == Market::Oil;
        model_.setVisible(positionKey(m), shown);
        model_.setVisible(positionNameKey(m), shown);
    }
}

void Game::ShowAccountFigures() {
    const float av = s_.accountValue;
    model_.setText("lblEq", formatStandardF(av));
    if (s_.startingCapital != 0) model_.setText("lblPercentGL", formatPercent((av - s_.startingCapital) / s_.startingCapital));
    model_.setText("lblRPL", formatStandard(s_.realizedPL));
    model_.setText("lblUPL", formatStandard(s_.unrealizedPL));
    s_.marginReq = 0;
    for (Market m : kTradingOrder)
        s_.marginReq += std::fabs(s_.positions[static_cast<size_t>(index(m))]) * contractTerms(m).marginPerContract;
    model_.setText("lblLIAB", formatStandard(s_.marginReq));
    const QString cashMargin = formatPercent(av > 0 ? (av - s_.marginReq) / av : 0.0);
    model_.setText("lblPosMargPercent", cashMargin);
    ShowPositionLabels();
    RefreshMaxima();
    model_.setText("lblAvailMarg", formatStandard(av - s_.marginReq));
    s_.totalPL = static_cast<float>(s_.realizedPL + s_.unrealizedPL);
    model_.setText("lblScore", moneyText(s_.realizedPL + s_.unrealizedPL));
    model_.setText("lblTotTrades", QString::number(s_.tradeCount));
    ShowCurrentMarket();
    model_.setText("lblPosMargPercent", cashMargin);
}

void Game::RefreshMaxima() {
    // The per-market order maxima belong to the trading desk.
}

void Game::MarginCallCheck() {
    // Margin calls are announced by the trading desk's account checks; with
    // no positions there is no margin to call.
}

void Game::ForceLiquidation() {
    // Mandatory trades come with the trading desk; nothing is open before.
    s_.marginCallPending = false;
}

void Game::GiveHints() {
    const int p = s_.periodIndex;
    const int t = s_.tradeCount;
    if (p <= s_.nextHintPeriod) return;
    const float r = t > 0 ? static_cast<float>(p) / static_cast<float>(t) : 0.0f;
    const QString title = QStringLiteral("* Helpful Hint *");
    if (p == 15 && t == 0) {
        NotifyPlayer(title, QStringLiteral("Don't be Scared to Execute A Trade "), 1);
        s_.nextHintPeriod = 105;
    }
    if (t > 0 && r > 45.0f) {
        NotifyPlayer(title, QStringLiteral("Don't be Scared to Execute a Trade "), 1);
        s_.nextHintPeriod = p + 90;
    }
    if (p == 20 && t >= 10) {
        NotifyPlayer(title, QStringLiteral("Be Careful Not to Trade too Much:  Commissions Eat Up Profits"), 1);
        s_.nextHintPeriod = 110;
    }
    if (p > s_.nextHintPeriod && p > 3 && t > 0 && r < 1.5f) {
        NotifyPlayer(title, QStringLiteral("  Be Careful Not to Trade too Much:  Commissions Eat Up Profits"), 1);
        s_.nextHintPeriod = p + 90;
    }
}

} // namespace pellucar
