// The quote column: each market's price in its own notation and the change
// from the period before.
#include "app/view/quote_presenter.h"
#include "app/view/control_table.h"
#include "app/view/presentation_model.h"
#include "common/format.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace pellucar {

namespace {

// The quote of each market, by its index ("lblOilCurrMark" and so on):
// found once, as every press shows the quotes twice.
const std::array<ControlKey, kMarketCount>& quoteKeys() {
    static const auto keys = marketControlKeys(&MarketKeys::quote);
    return keys;
}

// "  +0.25", "   -0.25" or "   Unch" after a price: the change's spacing
// and sign, then the figure as `appendNumber` writes it.
template <typename AppendNumber> void appendChange(QString& text, double change, AppendNumber appendNumber) {
    if (change == 0 || std::isnan(change)) {
        text += QLatin1String("   Unch");
        return;
    }
    text += change > 0 ? QLatin1String("  +") : QLatin1String("   ");
    appendNumber(text);
}

QString changeText(double change, const QString& number) {
    QString text;
    appendChange(text, change, [&](QString& t) { t += number; });
    return text;
}

// Soybean prices are shown in whole cents and quarter cents.
QString soybeanText(float price) {
    const CentsAndQuarter c = centsAndQuarterOf(roundDecimalF(price, 5));
    QString text = QStringLiteral("$") + c.cents + ' ';
    if (!c.quarter.isEmpty()) text += QLatin1Char(' ') + c.quarter;
    return text;
}

// Points and 32nds need a whole number of points; a price from a damaged
// file may have none, and is then shown as the other markets show theirs.
bool hasWholePoints(double v) { return std::isfinite(v) && std::fabs(v) < 1e15; }

// T-Bond prices are quoted in points and 32nds: "$118 16/32".
QString tbondPriceText(double price) { return QStringLiteral("$") + pointsAnd32ndsText(price); }

QString tbondChangeText(double change) {
    if (change == 0) return QStringLiteral("   Unch");
    if (!hasWholePoints(change)) return changeText(change, formatStandard(change));
    if (std::fabs(change) < 1.0) {
        const long long n = std::llround(change * 32.0);
        return (change > 0 ? QStringLiteral(" +") : QStringLiteral("  ")) + QString::number(n) + QStringLiteral("/32");
    }
    // A move of a point or more: whole points, then the 32nds, with the sign
    // in front ("  +1 8/32", "   -1 8/32").
    const double size = std::fabs(change);
    const long long whole = static_cast<long long>(std::floor(size + 1e-9));
    const long long frac = std::llround((size - whole) * 32.0);
    QString text = change > 0 ? QStringLiteral("  +") : QStringLiteral("   -");
    text += QString::number(whole);
    if (frac != 0) text += QStringLiteral(" %1/32").arg(frac);
    return text;
}

} // namespace

bool QuoteTexts::Entry::madeFrom(bool change, double n, double b) const {
    const auto same = [](double x, double y) {
        return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
    };
    return filled && withChange == change && same(now, n) && same(before, b);
}

void presentQuotes(const PriceHistory& h, int p, Level level, PresentationModel& model, const TextMeasure& measure,
                   QuoteTexts* memo) {
    const auto& quotes = quoteKeys();
    if (p == 0)
        for (Market m : kTradingOrder) model.setText(quotes[index(m)], QStringLiteral("*** Market Closed ***"));
    if (p <= 0) return;
    const bool expert = level == Level::Expert;
    const PriceRecord& rec = h.record(p);
    const PriceRecord& prev = h.record(p - 1);
    const bool withChange = p > 1;

    for (Market m : kTradingOrder) {
        if (m == Market::TBond && !expert) continue;
        const double price = rec.get(m);

        QString text;
        switch (m) {
        case Market::Oil:
        case Market::Gold:
        case Market::SP500:
        case Market::Cattle: {
            const float now = static_cast<float>(price);
            const float before = static_cast<float>(prev.get(m));
            const auto make = [&] {
                // Built in one string: every press remakes the quotes that moved.
                QString t;
                t.reserve(32);
                t += u'$';
                appendStandardF(t, now);
                if (withChange) {
                    const float change = now - before;
                    appendChange(t, change, [&](QString& o) { appendStandardF(o, change); });
                }
                return t;
            };
            text = memo ? memo->text(m, withChange, now, before, make) : make();
            break;
        }
        case Market::Soybean: {
            const float now = rec.soybean;
            const auto make = [&] {
                QString t = soybeanText(now);
                if (withChange) {
                    // The change in cents, from the two prices' cent texts.
                    const double nowCents = roundByPatternF(now * 100.0f, QStringLiteral("#,##0.00"));
                    const double prevCents = roundByPatternF(prev.soybean * 100.0f, QStringLiteral("#,##0.00"));
                    const double change = roundDecimal(nowCents - prevCents, 2);
                    t += changeText(change, formatPlain(change));
                }
                return t;
            };
            text = memo ? memo->text(m, withChange, now, prev.soybean, make) : make();
            break;
        }
        case Market::TBond: {
            const QString priceText = tbondPriceText(price);
            text = priceText;
            if (withChange) text += tbondChangeText(price - static_cast<double>(static_cast<float>(h.previous.tbond)));
            const int width = measure ? measure(quotes[index(m)].name(), text) : static_cast<int>(text.size()) * 100;
            if (width > 5275) text = priceText;
            break;
        }
        }
        model.setText(quotes[index(m)], text);
    }
    for (Market m : kTradingOrder) model.setVisible(quotes[index(m)], expert || m == Market::Oil);
}

void presentLastPrices(const PriceHistory& h, int p, Level level, bool noGameYet, PresentationModel& model) {
    const PriceRecord& rec = h.record(p);
    if (rec.oil != 0 && p != 0) {
        model.setText("lblOilCurrMark", QStringLiteral("$") + formatPlainF(rec.oil) + QStringLiteral(" Last"));
        if (level == Level::Expert) {
            for (Market m : {Market::Gold, Market::SP500, Market::TBond, Market::Cattle, Market::Soybean}) {
                const QString number =
                    m == Market::TBond ? formatPlain(rec.tbond) : formatPlainF(static_cast<float>(rec.get(m)));
                model.setText(quoteKeys()[index(m)], QStringLiteral("$") + number + QStringLiteral(" Last"));
            }
        }
    } else if (noGameYet) {
        // No game has been set up yet: there is nothing to quote.
        for (Market m : kTradingOrder) model.setVisible(quoteKeys()[index(m)], false);
    }
}

} // namespace pellucar
