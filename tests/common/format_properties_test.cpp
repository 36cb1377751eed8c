// The number routines over many values: half-way decimals, random doubles
// of every magnitude, floats and the extremes. Each text must read back as
// the value the matching rounding returns, within half a unit of the last
// place kept, and a half at the first dropped place must round away from zero.
#include "common/format.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

using namespace pellucar;

TEST(FormatProperties, TextsReadBackAsTheRoundedValueAndHalvesGoAwayFromZero) {
    std::mt19937_64 rng(20260612);
    std::uniform_int_distribution<std::int64_t> mantissa(0, 99999999);
    std::uniform_int_distribution<int> places(0, 8), magnitude(-12, 12);
    const QRegularExpression grouped(QStringLiteral("^-?(\\d{1,3}(,\\d{3})*)?(\\.\\d+)?$"));
    const QRegularExpression ungrouped(QStringLiteral("^-?\\d*(\\.\\d+)?$"));
    const struct {
        QString pattern, prefix, suffix;
    } patterns[] = {{"#,##0.00", "", ""},        {"#,###.#0", "", ""},  {"#,##0.#####", "", ""}, {"#,###.###0", "", ""},
                    {" $#,##0.#0###", " $", ""}, {"#,###.0##", "", ""}, {"0.0 per", "", " per"}, {"#,##0", "", ""}};
    for (int i = 0; i < 2000; ++i) {
        const int k = places(rng);
        const bool minus = rng() & 1;
        // A decimal of k places, and the same with a 5 at place k + 1.
        const QString digits = QString::number(mantissa(rng)).rightJustified(k + 1, u'0');
        const QString cut = (minus ? "-" : "") + digits.left(digits.size() - k) + "." + digits.right(k);
        const double half = (cut + "5").toDouble();
        const double up = cut.toDouble() + (minus ? -1 : 1) * std::pow(10.0, -k);
        ASSERT_EQ(roundDecimal(half, k), roundDecimal(up, k)) << qPrintable(cut) << "5 to " << k;
        ASSERT_EQ(roundDecimal(half, k + 1), half) << qPrintable(cut);
        // The same decimal a hundredth as large rounds as if scaled in text.
        ASSERT_EQ(roundScaled((cut + "5e-2").toDouble(), 2, k), roundDecimal(half, k)) << qPrintable(cut);

        const double any = std::ldexp(static_cast<double>(rng() >> 11), -53) * std::pow(10.0, magnitude(rng));
        for (const double v : {half, minus ? -any : any}) {
            ASSERT_EQ(formatPlain(v).toDouble(), v);
            for (const auto& p : patterns) {
                const QString text = formatPattern(v, p.pattern);
                ASSERT_TRUE(text.startsWith(p.prefix) && text.endsWith(p.suffix)) << qPrintable(text);
                const QString body = text.mid(p.prefix.size(), text.size() - p.prefix.size() - p.suffix.size());
                ASSERT_TRUE((p.pattern.contains(u',') ? grouped : ungrouped).match(body).hasMatch())
                    << qPrintable(text);
                ASSERT_EQ(QString(body).remove(u',').toDouble(), roundByPattern(v, p.pattern)) << qPrintable(text);
            }
            // Within half a unit of the last place, and never a -0 that
            // would print with its minus.
            for (int d = 0; d <= 9; ++d) {
                const double r = roundDecimal(v, d);
                ASSERT_LE(std::fabs(r - v), 0.5 * std::pow(10.0, -d) * (1 + 1e-9) + std::fabs(v) * 1e-15)
                    << v << " to " << d;
                ASSERT_FALSE(r == 0 && std::signbit(r)) << v << " to " << d;
            }
        }
        // A float is formatted and rounded by its own shortest text.
        const float f = static_cast<float>(any);
        const double ofText = formatPlainF(f).toDouble();
        ASSERT_EQ(formatPlainF(f).toFloat(), f);
        ASSERT_EQ(formatStandardF(f), formatStandard(ofText));
        ASSERT_EQ(formatPatternF(f, u"#,##0.#####"), formatPattern(ofText, u"#,##0.#####"));
        ASSERT_EQ(roundDecimalF(f, k), roundDecimal(ofText, k));
        ASSERT_EQ(roundByPatternF(f, u"#,###.###0"), roundByPattern(ofText, u"#,###.###0"));
    }
    // The extremes neither crash nor lose their digits.
    EXPECT_FALSE(std::signbit(roundDecimal(-0.0, 2)) || std::signbit(roundDecimalF(-0.001f, 2)));
    for (const double v : {std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                           std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(), 1e22}) {
        EXPECT_EQ(formatPlain(v).toDouble(), v);
        EXPECT_EQ(formatStandard(v).remove(u',').toDouble(), roundDecimal(v, 2));
        EXPECT_EQ(roundDecimal(v, 12), std::fabs(v) < 5e-13 ? 0.0 : v);
    }
}
