// Number texts and rounding by format, worked out by hand from the decimal a person
// reads: half away from zero, '0' places always shown, '#' only when needed.
#include "common/format.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace pellucar;

namespace {

std::string s(const QString& q) { return q.toStdString(); }

// A float form ends in "F".
QString text(const char* form, double v) {
    const QString f = QString::fromLatin1(form);
    const auto fl = static_cast<float>(v);
    if (f == "Standard") return formatStandard(v);
    if (f == "StandardF") return formatStandardF(fl);
    if (f == "Whole") return formatWhole(v);
    if (f == "Percent") return formatPercent(v);
    if (f == "Plain") return formatPlain(v);
    if (f == "PlainF") return formatPlainF(fl);
    if (f.endsWith('F')) return formatPatternF(fl, f.chopped(1));
    return formatPattern(v, f);
}

// The rows: a float's shortest text ("18.455f" is 18.4549999...); carries through every nine; thousands grouped by
// Standard and Whole; "#,###.#0" cents with no digit before the point for 0; "#,##0.#####" up to five decimals and no
// point for a whole number; "#,###.0##" one to three decimals, "#,###.###0" always four; a literal prefix copied;
// Percent the hundredfold decimal text without separator (0.00035 x 100 is 0.0349999...); Plain the shortest text
// without exponent; no minus on a zero after rounding, but just past the half it stays.
struct TextCase {
    const char* form;
    double value;
    const char* text;
};
const std::vector<TextCase> kTexts = {
    {"#,##0.00F", 18.455, "18.46"},    {"StandardF", 2.675, "2.68"},       {"Standard", 1.005, "1.01"},
    {"Standard", 9.995, "10.00"},      {"Standard", 999.995, "1,000.00"},  {"Whole", 999.5, "1,000"},
    {"#,###.###0", 0.99999, "1.0000"}, {"#,##0.#####", 9.999996, "10"},    {"Standard", 0, "0.00"},
    {"Standard", 999.99, "999.99"},    {"Standard", -1234.5, "-1,234.50"}, {"Whole", -1234.5, "-1,235"},
    {"#,###.#0", 1500.05, "1,500.05"}, {"#,###.#0", 0.5, ".50"},           {"#,###.#0", -2500, "-2,500.00"},
    {"#,##0.#####", 7, "7"},           {"#,##0.#####", 0.000004, "0"},     {"#,###.0##", 2, "2.0"},
    {"#,###.0##", 0.25, ".25"},        {"#,###.0##", -31.0625, "-31.063"}, {"#,###.###0", 0.123449, ".1234"},
    {"#,###.###0", 0.12345, ".1235"},  {"#,###.###0", -0.05, "-.0500"},    {"#,###.#0####", 6.5, "6.50"},
    {"Percent", 0.1234, "12.34%"},     {"Percent", -0.12345, "-12.35%"},   {"Percent", 12.345, "1234.50%"},
    {"Percent", 0.00035, "0.04%"},     {"Percent", -0.00195, "-0.20%"},    {"PlainF", 18.46, "18.46"},
    {"PlainF", 1e-5, "0.00001"},       {"Standard", -0.001, "0.00"},       {"StandardF", -0.004, "0.00"},
    {"Percent", -0.00001, "0.00%"},    {"#,###.#0", -0.004, ".00"},        {"Plain", -0.0, "0"},
    {"Standard", -0.005, "-0.01"},
};
const std::vector<TextCase> kWideTexts = {
    {"Standard", -999.995, "-1,000.00"},       {"#,##0.#####", 6.123456, "6.12346"},
    {"Plain", 0.00001234, "0.00001234"},       {"Plain", 1e15, "1000000000000000"},
    {"Standard", 1234567.891, "1,234,567.89"}, {"StandardF", 100000.5, "100,000.50"},
    {"#,##0.#####", 118.15625, "118.15625"},   {"#,###.#0####", 118.15625, "118.15625"},
    {" $#,##0.#0###", 1234.5, " $1,234.50"},   {" $#,##0.#0###", 0.03125, " $0.03125"},
    {" $#,##0.#0###F", 18.455, " $18.455"},    {"Plain", 123456789.125, "123456789.125"},
};

// Halves go away from zero, not to even, though 1.005 and 2.675 lie a hair below their text. By pattern: Soybean's
// four places, the T-Bond's five (a decoded 118 + 5/32 a hair below 118.15625 comes back to it), the gain ratio's
// four, cents, whole numbers.
const double kDecodedBond = 118.0 + 0.04999999999999716 * 100.0 / 32.0;
struct Rounding {
    const char* pattern; // empty: roundDecimal to `places`
    int places;
    double value, rounded;
};
const std::vector<Rounding> kRounding = {
    {"", 2, 1.005, 1.01},    {"", 2, 2.675, 2.68},    {"", 0, 2.5, 3.0},      {"", 0, -2.5, -3.0},
    {"", 2, -0.125, -0.13},  {"", 2, 0.124999, 0.12}, {"", 2, 18.454, 18.45}, {"", 5, 118.15625, 118.15625},
    {"", 1, -99.95, -100.0}, {"", 2, -0.001, 0.0},
};
const std::vector<Rounding> kRoundingByPattern = {
    {"#,###.#0##", 0, 6.12245, 6.1225},
    {"#,###.#0##", 0, 6.122449, 6.1224},
    {"#,###.#####", 0, kDecodedBond, 118.15625},
    {"#,###.###0", 0, 0.12345, 0.1235},
    {"#,###.###0", 0, -0.12345, -0.1235},
    {"#,###.#0", 0, -1234.565, -1234.57},
    {"#,##0", 0, 2.5, 3.0},
};

} // namespace

TEST(Format, EachFormShowsTheDecimalValueRoundedHalfAwayFromZero) {
    for (const auto& table : {kTexts, kWideTexts})
        for (const auto& c : table) EXPECT_EQ(s(text(c.form, c.value)), c.text) << c.form << " " << c.value;
}

TEST(Format, RoundingReadsTheTextBackAsANumber) {
    for (const auto& table : {kRounding, kRoundingByPattern})
        for (const auto& c : table) {
            const double r =
                *c.pattern ? roundByPattern(c.value, QString::fromLatin1(c.pattern)) : roundDecimal(c.value, c.places);
            EXPECT_DOUBLE_EQ(r, c.rounded) << c.pattern << " " << c.places << " " << c.value;
        }
    EXPECT_DOUBLE_EQ(roundDecimalF(18.455f, 2), 18.46);
    EXPECT_DOUBLE_EQ(roundByPatternF(0.12345f, QStringLiteral("#,###.###0")), 0.1235);
    // Scaled in the text: 0.0123455 a hundredfold is 1.23455.
    EXPECT_DOUBLE_EQ(roundScaled(0.0123455, 2, 4), 1.2346);
}

// Rounding takes a shorter way than the text where no tie is near; it must answer as the text does. Hard cases: ties
// a hair either side, floats whose text is shorter than their value, carries, values past the shorter way's reach.
struct ShortWay {
    const char* name;
    double value;
    int places;
    bool isFloat;
};
const std::vector<ShortWay> kShortWays = {
    {"tie a hair below", 1.005, 2, false},
    {"exact binary tie", -2.5, 0, false},
    {"float tie", 18.455, 2, true},
    {"float read from two decimals", 18.45, 6, true},
    {"float of a large price", 98765.43, 6, true},
    {"float beside a power of two", 8.000001, 6, true},
    {"float of whole tens", 123456780, 2, true},
    {"carry through nines", 9.995, 2, false},
    {"rounds to zero", -0.004, 2, false},
    {"tiny", 5e-300, 6, false},
    {"past the reach", 4503599627370495.5, 0, false},
    {"many places", 0.1234567890123456, 15, false},
};

TEST(Format, RoundingAnswersAsTheDecimalText) {
    const auto both = [](double v, int places, bool isFloat) {
        const auto f = static_cast<float>(v);
        return isFloat ? std::pair{roundDecimalF(f, places), roundDecimalByTextF(f, places)}
                       : std::pair{roundDecimal(v, places), roundDecimalByText(v, places)};
    };
    const auto same = [](std::pair<double, double> r) {
        return std::bit_cast<std::uint64_t>(r.first) == std::bit_cast<std::uint64_t>(r.second);
    };
    for (const ShortWay& c : kShortWays) EXPECT_TRUE(same(both(c.value, c.places, c.isFloat))) << c.name;
    // Random ties and their neighbours, and prices of up to six decimals as doubles and floats, to any places.
    std::mt19937_64 dice(41);
    int differing = 0;
    for (int i = 0; i < 200000; ++i) {
        const int k = static_cast<int>(dice() % 10);
        const double units = static_cast<double>(dice() % 2000000000);
        double v = (units + (i % 2 ? 0.5 : 0.0)) / std::pow(10.0, k) * (i % 3 ? 1 : -1);
        for (int step = static_cast<int>(dice() % 7) - 3; step != 0; step += step < 0 ? 1 : -1)
            v = std::nextafter(v, step < 0 ? -HUGE_VAL : HUGE_VAL);
        const int places = static_cast<int>(dice() % 12);
        differing += !same(both(v, places, false)) + !same(both(v, places, true));
    }
    EXPECT_EQ(differing, 0);
}

TEST(Format, ExtremeAndNonFiniteInputKeepTheFormsShape) {
    // A zero never keeps a minus; the largest and smallest doubles keep their digits.
    EXPECT_FALSE(std::signbit(roundDecimal(-0.0, 2)) || std::signbit(roundDecimalF(-0.001f, 2)));
    for (const double v : {std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                           std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(), 1e22}) {
        EXPECT_EQ(formatPlain(v).toDouble(), v);
        EXPECT_EQ(formatStandard(v).remove(u',').toDouble(), roundDecimal(v, 2));
        EXPECT_EQ(roundDecimal(v, 12), std::fabs(v) < 5e-13 ? 0.0 : v);
    }
    const QRegularExpression standardShape(QStringLiteral("^-?\\d{1,3}(,\\d{3})*\\.\\d\\d$"));
    for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()}) {
        (void)roundDecimal(v, 2); // no crash, no undefined behaviour under the sanitizers
        (void)roundByPattern(v, QStringLiteral("#,###.#####"));
        (void)roundDecimalF(static_cast<float>(v), 2);
        EXPECT_TRUE(standardShape.match(formatStandard(v)).hasMatch()) << s(formatStandard(v));
        EXPECT_TRUE(standardShape.match(formatStandardF(static_cast<float>(v))).hasMatch());
        EXPECT_TRUE(formatPercent(v).endsWith('%'));
        for (const QString& t :
             {formatPercent(v), formatWhole(v), formatPlain(v), formatPattern(v, QStringLiteral(" $#,##0.#0###"))})
            EXPECT_FALSE(t.contains(QStringLiteral("nan"), Qt::CaseInsensitive) ||
                         t.contains(QStringLiteral("inf"), Qt::CaseInsensitive))
                << s(t);
    }
}
