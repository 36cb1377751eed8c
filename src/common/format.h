#pragma once
#include <QString>

// Number texts and rounding as the game shows them. Every rounding works on
// the value's shortest decimal text (the digits a person would read), rounding
// half away from zero, so 18.455 rounds to 18.46 although its binary double is
// a hair below. Values that live in single precision go through the F
// variants, so their shortest text is that of the float.

namespace pellucar {

// A number pattern of the kind "#,##0.00", "#,###.#0", "#,##0.#####" or
// " $#,##0.#0###": '0' is a digit that is always shown, '#' one shown only
// when needed, ',' in the whole part asks for thousands separators; any other
// character before or after the digits is copied as it stands. The value is
// rounded to as many decimals as the pattern has places after the point, and
// trailing zeros are dropped down to the last '0' place. A negative value
// gets a leading minus sign.
QString formatPattern(double v, QStringView pattern);
QString formatPatternF(float v, QStringView pattern);

// "Standard": thousands separators and exactly two decimals (1,234.50).
QString formatStandard(double v);
QString formatStandardF(float v);
// The same text appended to `out`, for texts built of several figures.
void appendStandardF(QString& out, float v);
// "Percent": the value times 100, two decimals, a percent sign (12.34%).
QString formatPercent(double v);
QString formatPercentF(float v);
// "#,##0": a whole number with thousands separators.
QString formatWhole(double v);
// The shortest text that reads back as the same number, no thousands
// separators, no exponent for ordinary magnitudes ("18.5", "118.15625", "7").
QString formatPlain(double v);
QString formatPlainF(float v);

// Rounds half away from zero on the shortest decimal text.
double roundDecimal(double v, int decimals);
double roundDecimalF(float v, int decimals);
// The same, always by writing the shortest text and reading it back: what
// the two above answer, by the longer way they take only near a tie.
double roundDecimalByText(double v, int decimals);
double roundDecimalByTextF(float v, int decimals);
// v times 10^powerOfTen, rounded: the point moves in the decimal text, so
// 6.4975 x 10 rounds to 64.98 and not down from a binary 64.9749999.
double roundScaled(double v, int powerOfTen, int decimals);
// Reads back what formatPattern would show.
double roundByPattern(double v, QStringView pattern);
double roundByPatternF(float v, QStringView pattern);

// T-Bond notation: whole points and 32nds, "118 16/32" ("118" on a whole
// point). A value too large for whole points reads as a standard number.
QString pointsAnd32ndsText(double v);
// Soybean notation: dollars with whole cents, and the quarter cent apart as
// a fraction ("1/4", "1/2", "3/4"; empty on a whole cent). The cents are
// taken from the value's decimal text, so 6.12 never reads 6.11.
struct CentsAndQuarter {
    QString cents;
    QString quarter;
};
CentsAndQuarter centsAndQuarterOf(double dollars);

} // namespace pellucar
