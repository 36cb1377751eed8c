// Number texts and rounding by format. Every expected text below is worked
// out by hand from the decimal value a person reads: round half away from
// zero on that decimal text, '0' places always shown, '#' places only when
// needed, ',' in the whole part groups thousands.
#include "common/format.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <string>

using namespace pellucar;

namespace {

std::string s(const QString& q) { return q.toStdString(); }

std::string pat(double v, const char* pattern) { return s(formatPattern(v, QString::fromLatin1(pattern))); }

} // namespace

TEST(FormatRounding, HalfAwayFromZeroOnTheDecimalText) {
    // 18.455f is 18.4549999237... in binary; its shortest text is "18.455".
    EXPECT_DOUBLE_EQ(roundDecimalF(18.455f, 2), 18.46);
    EXPECT_EQ(s(formatPatternF(18.455f, QStringLiteral("#,##0.00"))), "18.46");
    EXPECT_EQ(s(formatStandardF(2.675f)), "2.68");
    // 1.005 and 2.675 as doubles also lie a hair below their decimal text.
    EXPECT_DOUBLE_EQ(roundDecimal(1.005, 2), 1.01);
    EXPECT_DOUBLE_EQ(roundDecimal(2.675, 2), 2.68);
    EXPECT_EQ(s(formatStandard(1.005)), "1.01");
    // Exact halves go away from zero on both sides, not to even.
    EXPECT_DOUBLE_EQ(roundDecimal(2.5, 0), 3.0);
    EXPECT_DOUBLE_EQ(roundDecimal(-2.5, 0), -3.0);
    EXPECT_DOUBLE_EQ(roundDecimal(0.125, 2), 0.13);
    EXPECT_DOUBLE_EQ(roundDecimal(-0.125, 2), -0.13);
    // Only the first dropped digit decides; a 4 followed by 9s stays down.
    EXPECT_DOUBLE_EQ(roundDecimal(0.124999, 2), 0.12);
    EXPECT_DOUBLE_EQ(roundDecimal(18.456, 2), 18.46);
    EXPECT_DOUBLE_EQ(roundDecimal(18.454, 2), 18.45);
    // Fewer digits than places: the value is unchanged.
    EXPECT_DOUBLE_EQ(roundDecimal(118.15625, 5), 118.15625);
    EXPECT_DOUBLE_EQ(roundDecimal(7.0, 2), 7.0);
}

TEST(FormatRounding, CarriesRunThroughEveryNine) {
    EXPECT_EQ(s(formatStandard(9.995)), "10.00");
    EXPECT_EQ(s(formatStandard(999.995)), "1,000.00");
    EXPECT_EQ(s(formatStandard(-999.995)), "-1,000.00");
    EXPECT_DOUBLE_EQ(roundDecimal(9.995, 2), 10.0);
    EXPECT_DOUBLE_EQ(roundDecimal(-99.95, 1), -100.0);
    EXPECT_EQ(s(formatWhole(999.5)), "1,000");
    EXPECT_EQ(pat(0.99999, "#,###.###0"), "1.0000");
    EXPECT_EQ(pat(9.999996, "#,##0.#####"), "10");
}

TEST(FormatRounding, ByPatternUsesThePatternsDecimalPlaces) {
    // Soybean rules: four decimals.
    EXPECT_DOUBLE_EQ(roundByPattern(612.25 / 100.0, QStringLiteral("#,##.#0##")), 6.1225);
    EXPECT_DOUBLE_EQ(roundByPattern(6.12245, QStringLiteral("#,###.#0##")), 6.1225);
    EXPECT_DOUBLE_EQ(roundByPattern(6.122449, QStringLiteral("#,###.#0##")), 6.1224);
    // TBond tick rule: five decimals keep a 32nd (0.03125) exact, and a
    // decoded 118 + 5/32 a hair below 118.15625 comes back to it.
    EXPECT_DOUBLE_EQ(roundByPattern(118.0 + 0.04999999999999716 * 100.0 / 32.0, QStringLiteral("#,###.#####")),
                     118.15625);
    EXPECT_DOUBLE_EQ(roundByPattern(118.156254, QStringLiteral("#,###.#####")), 118.15625);
    // Gain ratio: four decimals, read back from single precision too.
    EXPECT_DOUBLE_EQ(roundByPattern(0.123449, QStringLiteral("#,###.###0")), 0.1234);
    EXPECT_DOUBLE_EQ(roundByPattern(0.12345, QStringLiteral("#,###.###0")), 0.1235);
    EXPECT_DOUBLE_EQ(roundByPatternF(0.12345f, QStringLiteral("#,###.###0")), 0.1235);
    EXPECT_DOUBLE_EQ(roundByPattern(-0.12345, QStringLiteral("#,###.###0")), -0.1235);
    // Cents, and whole numbers.
    EXPECT_DOUBLE_EQ(roundByPattern(-1234.565, QStringLiteral("#,###.#0")), -1234.57);
    EXPECT_DOUBLE_EQ(roundByPattern(2.5, QStringLiteral("#,##0")), 3.0);
}

TEST(FormatNumbers, StandardAndWholeGroupThousands) {
    EXPECT_EQ(s(formatStandard(0)), "0.00");
    EXPECT_EQ(s(formatStandard(0.5)), "0.50");
    EXPECT_EQ(s(formatStandard(999.99)), "999.99");
    EXPECT_EQ(s(formatStandard(1000)), "1,000.00");
    EXPECT_EQ(s(formatStandard(-1234.5)), "-1,234.50");
    EXPECT_EQ(s(formatStandard(1234567.891)), "1,234,567.89");
    EXPECT_EQ(s(formatStandard(-12.3)), "-12.30");
    EXPECT_EQ(s(formatStandardF(100000.5f)), "100,000.50");
    EXPECT_EQ(s(formatWhole(0)), "0");
    EXPECT_EQ(s(formatWhole(1234567)), "1,234,567");
    EXPECT_EQ(s(formatWhole(-1500)), "-1,500");
    EXPECT_EQ(s(formatWhole(-1234.5)), "-1,235");
}

TEST(FormatNumbers, OptionalPlacesAndNoLeadingZero) {
    // "#,###.#0": cents, no digit before the point when the whole part is 0.
    EXPECT_EQ(pat(1500.05, "#,###.#0"), "1,500.05");
    EXPECT_EQ(pat(1234.567, "#,###.#0"), "1,234.57");
    EXPECT_EQ(pat(0.5, "#,###.#0"), ".50");
    EXPECT_EQ(pat(-2500, "#,###.#0"), "-2,500.00");
    // "#,##0.#####": up to five decimals, trailing zeros dropped, no point
    // for a whole number.
    EXPECT_EQ(pat(118.15625, "#,##0.#####"), "118.15625");
    EXPECT_EQ(pat(118.5, "#,##0.#####"), "118.5");
    EXPECT_EQ(pat(7, "#,##0.#####"), "7");
    EXPECT_EQ(pat(1234.5, "#,##0.#####"), "1,234.5");
    EXPECT_EQ(pat(0.000004, "#,##0.#####"), "0");
    EXPECT_EQ(pat(6.123456, "#,##0.#####"), "6.12346");
    // "#,###.0##": one to three decimals.
    EXPECT_EQ(pat(2, "#,###.0##"), "2.0");
    EXPECT_EQ(pat(156.25, "#,###.0##"), "156.25");
    EXPECT_EQ(pat(1234.5678, "#,###.0##"), "1,234.568");
    EXPECT_EQ(pat(0.25, "#,###.0##"), ".25");
    EXPECT_EQ(pat(-31.0625, "#,###.0##"), "-31.063");
    // "#,###.###0": always four decimals.
    EXPECT_EQ(pat(0.123449, "#,###.###0"), ".1234");
    EXPECT_EQ(pat(0.12345, "#,###.###0"), ".1235");
    EXPECT_EQ(pat(1.5, "#,###.###0"), "1.5000");
    EXPECT_EQ(pat(-0.05, "#,###.###0"), "-.0500");
    // "#,###.#0####" of the trade confirmation: two to six decimals.
    EXPECT_EQ(pat(118.15625, "#,###.#0####"), "118.15625");
    EXPECT_EQ(pat(6.5, "#,###.#0####"), "6.50");
}

TEST(FormatNumbers, LiteralPrefixIsCopied) {
    EXPECT_EQ(pat(118.15625, " $#,##0.#0###"), " $118.15625");
    EXPECT_EQ(pat(1234.5, " $#,##0.#0###"), " $1,234.50");
    EXPECT_EQ(pat(6.1225, " $#,##0.#0###"), " $6.1225");
    EXPECT_EQ(pat(0.03125, " $#,##0.#0###"), " $0.03125");
    EXPECT_EQ(pat(6.123456, " $#,##0.#0###"), " $6.12346");
    EXPECT_EQ(s(formatPatternF(18.455f, QStringLiteral(" $#,##0.#0###"))), " $18.455");
}

TEST(FormatNumbers, PercentRoundsTheHundredfoldDecimalTextToTwoPlaces) {
    EXPECT_EQ(s(formatPercent(0.1234)), "12.34%");
    EXPECT_EQ(s(formatPercent(-0.05)), "-5.00%");
    EXPECT_EQ(s(formatPercent(1)), "100.00%");
    EXPECT_EQ(s(formatPercent(0.12345)), "12.35%");
    EXPECT_EQ(s(formatPercent(-0.12345)), "-12.35%");
    EXPECT_EQ(s(formatPercent(0.00125)), "0.13%");
    // Unlike "Standard", the percent form has no thousands separator.
    EXPECT_EQ(s(formatPercent(12.345)), "1234.50%");
    // A gain of 35 dollars on 100,000 is 0.00035, which is 0.035 percent and
    // shows as 0.04%. The hundredfold product in binary is
    // 0.034999999999999996, whose own text rounds down to 0.03.
    EXPECT_EQ(s(formatPercent(0.00035)), "0.04%");
    EXPECT_EQ(s(formatPercent(0.00085)), "0.09%");
    EXPECT_EQ(s(formatPercent(-0.00195)), "-0.20%");
    EXPECT_EQ(s(formatPercent(0.00435)), "0.44%");
}

TEST(FormatNumbers, PlainIsTheShortestTextWithoutExponent) {
    EXPECT_EQ(s(formatPlain(18.5)), "18.5");
    EXPECT_EQ(s(formatPlain(118.15625)), "118.15625");
    EXPECT_EQ(s(formatPlain(7)), "7");
    EXPECT_EQ(s(formatPlain(0)), "0");
    EXPECT_EQ(s(formatPlain(0.00001234)), "0.00001234");
    EXPECT_EQ(s(formatPlain(-0.0005)), "-0.0005");
    EXPECT_EQ(s(formatPlain(123456789)), "123456789");
    EXPECT_EQ(s(formatPlain(1e15)), "1000000000000000");
    EXPECT_EQ(s(formatPlain(123456789.125)), "123456789.125");
    // A float shows its own shortest text, not the widened double's digits.
    EXPECT_EQ(s(formatPlainF(18.46f)), "18.46");
    EXPECT_EQ(s(formatPlainF(6.1225f)), "6.1225");
    EXPECT_EQ(s(formatPlainF(1e-5f)), "0.00001");
    // Whatever the digits, the text reads back as the same number.
    for (double v : {118.15625, 0.1, 1.0 / 3.0, 2.0 / 3.0 * 1e-4, 98765.4321, -6.1225})
        EXPECT_EQ(formatPlain(v).toDouble(), v) << s(formatPlain(v));
}

TEST(FormatNumbers, NegativeZeroAfterRoundingHasNoMinus) {
    EXPECT_EQ(s(formatStandard(-0.001)), "0.00");
    EXPECT_EQ(s(formatStandard(-0.0)), "0.00");
    EXPECT_EQ(s(formatStandardF(-0.004f)), "0.00");
    EXPECT_EQ(s(formatWhole(-0.4)), "0");
    EXPECT_EQ(s(formatPercent(-0.00001)), "0.00%");
    EXPECT_EQ(pat(-0.004, "#,###.#0"), ".00");
    EXPECT_EQ(pat(-0.000001, "#,##0.#####"), "0");
    EXPECT_EQ(s(formatPlain(-0.0)), "0");
    EXPECT_EQ(roundDecimal(-0.001, 2), 0.0);
    // Just past the half, the minus stays.
    EXPECT_EQ(s(formatStandard(-0.005)), "-0.01");
}

TEST(FormatNumbers, NonFiniteInputKeepsTheFormsShape) {
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    const QRegularExpression standardShape(QStringLiteral("^-?\\d{1,3}(,\\d{3})*\\.\\d\\d$"));
    for (double v : values) {
        const QString standard = formatStandard(v), percent = formatPercent(v);
        (void)roundDecimal(v, 2); // no crash, no undefined behaviour under the sanitizers
        (void)roundByPattern(v, QStringLiteral("#,###.#####"));
        (void)roundDecimalF(static_cast<float>(v), 2);
        // The texts keep the form of their format, never "nan" or "inf".
        EXPECT_TRUE(standardShape.match(standard).hasMatch()) << s(standard);
        EXPECT_TRUE(standardShape.match(formatStandardF(static_cast<float>(v))).hasMatch());
        EXPECT_TRUE(percent.endsWith('%')) << s(percent);
        for (const QString& t : {standard, percent, formatWhole(v), formatPlain(v),
                                 formatPattern(v, QStringLiteral(" $#,##0.#0###"))}) {
            EXPECT_FALSE(t.contains(QStringLiteral("nan"), Qt::CaseInsensitive)) << s(t);
            EXPECT_FALSE(t.contains(QStringLiteral("inf"), Qt::CaseInsensitive)) << s(t);
        }
    }
}

TEST(FormatNumbers, ManyPatternsInTurnKeepTheirOwnMeaning) {
    // More patterns than are kept read at once, each used again after the
    // others: every text follows its own pattern.
    for (int round = 0; round < 2; ++round) {
        for (int places = 0; places < 40; ++places) {
            const QString pattern = QString(places + 1, QLatin1Char('x')) + QStringLiteral(" 0.") +
                                    QString(places % 6 + 1, QLatin1Char('0'));
            const std::string expected = std::string(static_cast<size_t>(places + 1), 'x') + " 1." +
                                         std::string(static_cast<size_t>(places % 6 + 1), '0');
            EXPECT_EQ(s(formatPattern(1.0, pattern)), expected) << s(pattern);
        }
    }
}
