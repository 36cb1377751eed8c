#include "trading/order_texts.h"

#include "common/format.h"
#include "trading/contract_terms.h"

#include <cmath>

namespace pellucar {

namespace {

// TBond and Soybean trade in fine fractions of a point and are never shown
// with the two-decimal money format.
bool finePriced(Market m) { return contractTerms(m).doubleQuote; }

QString standardPrice(Market m, double price) {
    return finePriced(m) ? formatStandard(price) : formatStandardF(static_cast<float>(price));
}

} // namespace

QString unitsPrompt(Side side) {
    return QStringLiteral("Number of ") + QStringLiteral("Contracts") +
           (side == Side::Buy ? QStringLiteral(" to Buy: ") : QStringLiteral(" to Sell: "));
}

QString orderReadBack(Market market, Side side, double units, double price) {
    QString text = QStringLiteral("Is this order correct?") + ' ' + sideName(side) + ' ' +
                   formatWhole(std::fabs(units)) + ' ' + marketName(market);
    if (finePriced(market)) return text + QStringLiteral(" @ $") + plainPrice(market, price);
    return text + QStringLiteral(" @ ") + '$' + standardPrice(market, price);
}

QString fillConfirmation(Market market, double units, double price) {
    QString text = QStringLiteral("Transaction Order Filled: ") + formatWhole(std::fabs(units)) + ' ' +
                   marketName(market) + (units < 0 ? QStringLiteral(" Sold @  ") : QStringLiteral(" Bought @  "));
    if (finePriced(market)) return text + formatPattern(price, QStringLiteral("#,###.#0#####"));
    return text + '$' + standardPrice(market, price);
}

QString marginCallMessage(double marginCallAmount) {
    return QStringLiteral("You have a margin call equaling  $") +
           formatPattern(std::fabs(marginCallAmount), QStringLiteral("#,###.#0")) + QStringLiteral(" dollars");
}

QString mandatoryTradeMessage(Market market, double position, double contracts, bool partSuffices, double price) {
    QString lead;
    if (position > 0) lead = QStringLiteral("Mandatory Sale: ");
    else lead = partSuffices ? QStringLiteral("Mandatory Buy: ") : QStringLiteral("Mandatory Purchase: ");
    return lead + formatPattern(contracts, QStringLiteral("#,###")) + ' ' + marketName(market) +
           QStringLiteral(" at $") + plainPrice(market, price);
}

QString plainPrice(Market market, double price) { return formatPlain(readQuote(market, price)); }

} // namespace pellucar
