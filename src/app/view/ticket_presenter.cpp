#include "app/view/ticket_presenter.h"

#include "common/format.h"
#include "trading/contract_terms.h"

#include <QStringList>
#include <cmath>

namespace pellucar {

namespace {

QString typeCode(OrderType t) {
    switch (t) {
    case OrderType::Market: return QStringLiteral("MKT");
    case OrderType::Limit: return QStringLiteral("LMT");
    case OrderType::Stop: return QStringLiteral("STP");
    }
    return {};
}

// A number typed into a field: blanks around it allowed, nothing else.
std::optional<double> number(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

// An exit field read as a price: a price as typed, or the distance from the
// entry on the side away from it that the exit sits on (a long's stop below,
// its target above).
std::optional<double> exitPrice(const QString& text, ExitUnit unit, Market m, double entry, double direction,
                                QString* problem, const QString& name) {
    if (text.trimmed().isEmpty()) return std::nullopt;
    const std::optional<double> v = number(text);
    if (!v || *v <= 0) {
        *problem = QStringLiteral("The %1 is not a positive number").arg(name);
        return std::nullopt;
    }
    const ContractTerms& t = contractTerms(m);
    double distance = 0;
    switch (unit) {
    case ExitUnit::Price: return readQuote(m, *v);
    case ExitUnit::Ticks:
        if (*v != std::floor(*v)) {
            *problem = QStringLiteral("The %1 is a whole number of ticks").arg(name);
            return std::nullopt;
        }
        distance = *v * t.tick;
        break;
    case ExitUnit::Dollars:
        // Dollars per contract, to the nearest tick.
        distance = std::round(*v / t.pointValue / t.tick) * t.tick;
        if (distance <= 0) {
            *problem = QStringLiteral("The %1 is less than one tick").arg(name);
            return std::nullopt;
        }
        break;
    }
    return nearestTick(m, entry + direction * distance);
}

} // namespace

TicketReading readTicket(const TicketInput& in, const GameState& s) {
    TicketReading out;
    const size_t i = static_cast<size_t>(index(in.market));
    const double quote = in.side == Side::Buy ? s.prices.buyQuote[i] : s.prices.sellQuote[i];
    const std::optional<double> units = number(in.units);
    if (!units || *units != std::floor(*units) || *units < 1) {
        out.problem = QStringLiteral("Enter the number of contracts");
        out.risk = QStringLiteral("-");
        return out;
    }
    OrderRequest r;
    r.market = in.market;
    r.side = in.side;
    r.units = static_cast<int>(std::min(*units, 1e6));
    r.type = in.type;
    r.tif = in.tif;
    if (in.type == OrderType::Market) {
        out.entry = quote;
    } else {
        const std::optional<double> p = number(in.price);
        if (!p || *p <= 0) {
            out.problem = QStringLiteral("Enter the %1 price").arg(in.type == OrderType::Limit ? "limit" : "stop");
            out.risk = QStringLiteral("-");
            return out;
        }
        r.price = readQuote(in.market, *p);
        out.entry = r.price;
    }
    // A buy's stop-loss lies below its entry and its target above; a sale's the other way.
    const double away = in.side == Side::Buy ? -1 : 1;
    r.stopLoss =
        exitPrice(in.stopLoss, in.exitUnit, in.market, out.entry, away, &out.problem, QStringLiteral("stop-loss"));
    r.target = exitPrice(in.target, in.exitUnit, in.market, out.entry, -away, &out.problem, QStringLiteral("target"));
    if (!out.problem.isEmpty()) {
        out.risk = QStringLiteral("-");
        return out;
    }
    out.request = r;
    if (!r.stopLoss) {
        out.risk = QStringLiteral("No stop-loss: the loss is not bounded");
        return out;
    }
    const double dollars =
        roundDecimal(std::abs(out.entry - *r.stopLoss) * contractTerms(in.market).pointValue * r.units, 2);
    const double value = s.desk.account.accountValue();
    out.risk = QStringLiteral("$") + formatStandard(dollars);
    if (value > 0)
        out.risk += QStringLiteral(" (%1 % of the account)").arg(formatPattern(100 * dollars / value, u"0.00"));
    return out;
}

QString orderLineLabel(const WorkingOrder& o, const QString& priceText) {
    QString t = QStringLiteral("%1 %2 %3 %4").arg(sideName(o.side)).arg(o.units).arg(typeCode(o.type), priceText);
    if (o.waiting()) t += QStringLiteral(" (waits)");
    return t;
}

double snappedOrderPrice(Market m, double asked) {
    const double tick = contractTerms(m).tick;
    if (!std::isfinite(asked) || asked < tick) return readQuote(m, tick);
    return nearestTick(m, asked);
}

double priceTicksAway(Market m, double price, int ticks) {
    return snappedOrderPrice(m, price + ticks * contractTerms(m).tick);
}

QString fillsLine(const std::vector<OrderEvent>& events) {
    QStringList filled, gone;
    for (const OrderEvent& e : events) {
        const WorkingOrder& o = e.order;
        if (e.kind == OrderEventKind::Filled)
            filled << QStringLiteral("%1 %2 %3 %4 at %5")
                          .arg(sideName(o.side))
                          .arg(o.units)
                          .arg(marketName(o.market), typeCode(o.type), formatPlain(e.price));
        else gone << QString::number(o.id);
    }
    QStringList parts;
    if (!filled.isEmpty()) parts << QStringLiteral("Filled: ") + filled.join(QStringLiteral("; "));
    if (!gone.isEmpty()) parts << QStringLiteral("Cancelled or expired: ") + gone.join(QStringLiteral(", "));
    return parts.join(QStringLiteral(".  "));
}

} // namespace pellucar
