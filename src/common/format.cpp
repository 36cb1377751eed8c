#include "common/format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <type_traits>

// Every routine here reads the value's shortest decimal text once and works
// on its digits in place: the game formats a few hundred numbers on each
// press, so none of this allocates except the QString it returns.

namespace pellucar {
namespace {

// A finite value as its shortest decimal digits: the value is
// 0.d1d2d3... x 10^point. Zero has no digits.
struct Decimal {
    // A double's shortest text has at most 17 significant digits.
    static constexpr int kMaxDigits = 17;
    bool negative = false;
    char digits[kMaxDigits] = {};
    int count = 0;
    int point = 0;

    bool isZero() const { return count == 0; }
    // The digit at index i, zero outside the digits (leading zeros of a
    // small value and trailing zeros of a large one).
    char at(int i) const { return i >= 0 && i < count ? digits[i] : '0'; }
};

template <typename T> Decimal toDecimal(T v) {
    static_assert(std::is_same_v<T, double> || std::is_same_v<T, float>);
    Decimal d;
    if (!std::isfinite(v) || v == 0) return d;
    // "-d.ddde+XX": the shortest text that reads back as v.
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    const char* p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.') d.digits[d.count++] = *p;
    ++p; // the 'e'
    const bool negativeExponent = *p == '-';
    ++p; // its sign, always written
    int exponent = 0;
    for (; p < res.ptr; ++p) exponent = exponent * 10 + (*p - '0');
    d.point = (negativeExponent ? -exponent : exponent) + 1;
    return d;
}

// d rounded to `places` decimals, half away from zero on its digits. The
// result keeps no trailing zeros, and a value that rounds to zero loses its
// sign. `changed` tells whether any digit was dropped.
Decimal rounded(const Decimal& d, int places, bool* changed = nullptr) {
    if (changed) *changed = false;
    // The digits [0, kept) stay; digit `kept` decides.
    const int kept = d.point + places;
    if (d.isZero() || kept >= d.count) return d;
    if (changed) *changed = true;
    Decimal r;
    r.negative = d.negative;
    r.point = d.point;
    if (kept < 0) return Decimal{};
    r.count = kept;
    std::copy(d.digits, d.digits + kept, r.digits);
    if (d.digits[kept] >= '5') {
        // Carry: trailing nines become zeros (dropped), the digit before
        // them goes up; all nines make a 1 one place further left.
        while (r.count > 0 && r.digits[r.count - 1] == '9') --r.count;
        if (r.count == 0) {
            r.digits[0] = '1';
            r.count = 1;
            r.point += 1;
        } else {
            ++r.digits[r.count - 1];
        }
    } else {
        while (r.count > 0 && r.digits[r.count - 1] == '0') --r.count;
        if (r.count == 0) return Decimal{};
    }
    return r;
}

// A number pattern read once per call: reading it is a single pass over a
// dozen characters.
struct Pattern {
    QStringView prefix, suffix;
    bool thousands = false;
    int minWhole = 0;
    int minFrac = 0;
    int maxFrac = 0;
};

bool isPatternChar(QChar c) { return c == u'#' || c == u'0' || c == u'.' || c == u','; }

Pattern parsePattern(QStringView p) {
    Pattern out;
    qsizetype start = -1, end = -1;
    for (qsizetype i = 0; i < p.size(); ++i) {
        if (isPatternChar(p[i])) {
            if (start < 0) start = i;
            end = i;
        }
    }
    if (start < 0) {
        out.prefix = p;
        return out;
    }
    out.prefix = p.first(start);
    out.suffix = p.sliced(end + 1);
    // The whole part runs to the first point; in the fraction, '0' and '#'
    // are its places, and the last '0' (by its position among all the
    // fraction's characters) is the last place always shown.
    qsizetype dot = -1;
    for (qsizetype i = start; i <= end; ++i) {
        const QChar c = p[i];
        if (dot < 0) {
            if (c == u'.') dot = i;
            else if (c == u',') out.thousands = true;
            else if (c == u'0') ++out.minWhole;
        } else if (c == u'0' || c == u'#') {
            ++out.maxFrac;
            if (c == u'0') out.minFrac = static_cast<int>(i - dot);
        }
    }
    return out;
}

// Appends v's text by the pattern to `out`, growing it once.
template <typename T> void appendWith(QString& out, T v, const Pattern& p, int shift = 0) {
    Decimal d = toDecimal(v);
    // Scaling by a power of ten moves the decimal point in the text, so a
    // percentage of 0.00035 reads 0.035 exactly before it is rounded.
    if (!d.isZero()) d.point += shift;
    const Decimal r = rounded(d, p.maxFrac);

    // The decimals: every place of the pattern, trailing zeros dropped down
    // to the last '0' place.
    int fracLen = p.maxFrac;
    while (fracLen > p.minFrac && r.at(r.point + fracLen - 1) == '0') --fracLen;
    // The whole part: its digits, none for a value below one unless the
    // pattern asks for '0' places, which are filled with zeros.
    const int wholeDigits = r.isZero() ? 0 : std::max(r.point, 0);
    const int wholeLen = std::max(wholeDigits, p.minWhole);
    const int separators = p.thousands && wholeLen > 3 ? (wholeLen - 1) / 3 : 0;
    const bool negative = r.negative && !r.isZero();

    const qsizetype start = out.size();
    out.resize(start + p.prefix.size() + (negative ? 1 : 0) + wholeLen + separators + (fracLen > 0 ? 1 + fracLen : 0) +
               p.suffix.size());
    QChar* o = out.data() + start;
    o = std::copy(p.prefix.begin(), p.prefix.end(), o);
    if (negative) *o++ = u'-';
    const int padding = wholeLen - wholeDigits;
    for (int i = 0; i < wholeLen; ++i) {
        *o++ = QLatin1Char(i < padding ? '0' : r.at(i - padding));
        const int left = wholeLen - 1 - i;
        if (separators > 0 && left > 0 && left % 3 == 0) *o++ = u',';
    }
    if (fracLen > 0) {
        *o++ = u'.';
        for (int i = 0; i < fracLen; ++i) *o++ = QLatin1Char(r.at(r.point + i));
    }
    std::copy(p.suffix.begin(), p.suffix.end(), o);
}

template <typename T> QString formatWith(T v, const Pattern& p, int shift = 0) {
    QString text;
    appendWith(text, v, p, shift);
    return text;
}

template <typename T> QString plainText(T v) {
    const Decimal d = toDecimal(v);
    if (d.isZero()) return QStringLiteral("0");
    // Digits before the point (zeros past the last digit of a large value),
    // or "0." and zeros before the first digit of a small one.
    const int whole = std::max(d.point, 0);
    const int lead = d.point < 0 ? -d.point : 0;
    const int frac = std::max(d.count - d.point, 0);
    QString text((d.negative ? 1 : 0) + std::max(whole, 1) + (frac > 0 ? 1 + frac : 0), Qt::Uninitialized);
    QChar* out = text.data();
    if (d.negative) *out++ = u'-';
    if (whole == 0) *out++ = u'0';
    for (int i = 0; i < whole; ++i) *out++ = QLatin1Char(d.at(i));
    if (frac > 0) {
        *out++ = u'.';
        for (int i = 0; i < lead; ++i) *out++ = u'0';
        for (int i = std::max(d.point, 0); i < d.count; ++i) *out++ = QLatin1Char(d.digits[i]);
    }
    return text;
}

// The double nearest to a decimal, read the C way whatever locale the
// process runs in.
double valueOf(const Decimal& d) {
    if (d.isZero()) return 0;
    // "-d.ddde<exponent>"
    char buf[48];
    char* out = buf;
    if (d.negative) *out++ = '-';
    *out++ = d.digits[0];
    if (d.count > 1) {
        *out++ = '.';
        out = std::copy(d.digits + 1, d.digits + d.count, out);
    }
    *out++ = 'e';
    out = std::to_chars(out, buf + sizeof buf, d.point - 1).ptr;
    double value = 0;
    std::from_chars(buf, out, value);
    return value;
}

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Rounding the shortest text without writing it. Every text that reads back
// as v lies within half the gap to v's neighbours; scaled to units of the
// last place kept, that interval is narrow, and when no half-way point lies
// in it every such text rounds to the whole number nearest v. When the
// interval is under one unit wide and holds a whole number strictly inside,
// that number is the shortest text itself (a float read from "18.45" is
// 18.4500007... but its text has two decimals). Anywhere else (a tie near,
// too many places for the type, huge values) the text decides: false.
template <typename T> bool roundByArithmetic(T v, int decimals, double* out) {
    if (decimals < 0 || decimals >= static_cast<int>(std::size(kPowersOfTen)) || !std::isfinite(v) || v == 0)
        return false;
    const T a = std::fabs(v);
    const double scale = kPowersOfTen[decimals];
    const double s = static_cast<double>(a) * scale;
    // Below 2^49 a unit is many times the double's own error of s.
    if (!(s < 0x1p49)) return false;
    // Neighbours by their bits: adjacent values differ by exactly this.
    using Bits = std::conditional_t<std::is_same_v<T, float>, std::uint32_t, std::uint64_t>;
    const auto bits = std::bit_cast<Bits>(a);
    const double up = (static_cast<double>(std::bit_cast<T>(bits + 1)) - a) * scale / 2;
    const double down = (static_cast<double>(a) - std::bit_cast<T>(bits - 1)) * scale / 2;
    // Room for the roundings of s, up and down themselves.
    const double slack = s * 0x1p-48;
    const double lo = s - down - slack, hi = s + up + slack;
    const double whole = std::floor(s);
    double units = 0;
    if (std::floor(hi - 0.5) < std::ceil(lo - 0.5)) {
        units = s - whole >= 0.5 ? whole + 1 : whole;
    } else {
        // From ten units up, a shorter text in the interval has no more
        // places than the whole number does.
        const double nearest = std::round(s);
        if (hi - lo >= 1 || s < 10 || !(nearest > s - down + slack && nearest < s + up - slack)) return false;
        units = nearest;
    }
    // Both exact below 2^53: the quotient is the double nearest the decimal.
    const double r = units / scale;
    *out = units == 0 ? 0.0 : (v < 0 ? -r : r);
    return true;
}

template <typename T> double roundByText(T v, int decimals, int shift) {
    Decimal d = toDecimal(v);
    if (!d.isZero()) d.point += shift;
    bool changed = false;
    const Decimal r = rounded(d, decimals, &changed);
    // A double's own shortest text reads back as the double itself.
    if constexpr (std::is_same_v<T, double>)
        if (!changed && shift == 0) return d.isZero() ? 0.0 : v;
    return valueOf(r);
}

template <typename T> double roundWith(T v, int decimals, int shift = 0) {
    if (double r = 0; shift == 0 && roundByArithmetic(v, decimals, &r)) return r;
    return roundByText(v, decimals, shift);
}

} // namespace

QString formatPattern(double v, QStringView pattern) { return formatWith(v, parsePattern(pattern)); }
QString formatPatternF(float v, QStringView pattern) { return formatWith(v, parsePattern(pattern)); }

namespace {
// "#,##0.00", "0.00" and "#,##0" as read.
constexpr Pattern kStandard{{}, {}, true, 1, 2, 2};
constexpr Pattern kPercent{{}, u"%", false, 1, 2, 2};
constexpr Pattern kWhole{{}, {}, true, 1, 0, 0};
} // namespace

QString formatStandard(double v) { return formatWith(v, kStandard); }
QString formatStandardF(float v) { return formatWith(v, kStandard); }
void appendStandardF(QString& out, float v) { appendWith(out, v, kStandard); }
QString formatPercent(double v) { return formatWith(v, kPercent, 2); }
QString formatPercentF(float v) { return formatWith(v, kPercent, 2); }
QString formatWhole(double v) { return formatWith(v, kWhole); }
QString formatPlain(double v) { return plainText(v); }
QString formatPlainF(float v) { return plainText(v); }
double roundDecimal(double v, int decimals) { return roundWith(v, decimals); }
double roundDecimalF(float v, int decimals) { return roundWith(v, decimals); }
double roundScaled(double v, int powerOfTen, int decimals) { return roundWith(v, decimals, powerOfTen); }
double roundByPattern(double v, QStringView pattern) { return roundWith(v, parsePattern(pattern).maxFrac); }
double roundByPatternF(float v, QStringView pattern) { return roundWith(v, parsePattern(pattern).maxFrac); }
double roundDecimalByText(double v, int decimals) { return roundByText(v, decimals, 0); }
double roundDecimalByTextF(float v, int decimals) { return roundByText(v, decimals, 0); }

QString pointsAnd32ndsText(double v) {
    if (!std::isfinite(v) || std::fabs(v) >= 1e15) return formatStandard(v);
    const double whole = std::floor(v + 1e-9);
    const long long thirtySeconds = std::llround((v - whole) * 32.0);
    // Written out in one piece: the T-Bond's quote is shown at every press.
    char text[64];
    char* const end = text + sizeof text - 4; // room for the "/32"
    char* out = std::to_chars(text, end, static_cast<long long>(whole)).ptr;
    if (thirtySeconds != 0 && out != end) {
        *out++ = ' ';
        out = std::to_chars(out, end, thirtySeconds).ptr;
        for (const char c : {'/', '3', '2'}) *out++ = c;
    }
    return QString::fromLatin1(text, out - text);
}

CentsAndQuarter centsAndQuarterOf(double dollars) {
    const double cents = roundDecimal(roundDecimal(dollars, 5) * 100.0, 3);
    const double whole = std::trunc(cents);
    CentsAndQuarter out{formatStandard(whole / 100.0), {}};
    const int quarter = static_cast<int>(std::lround(roundDecimal(cents - whole, 3) * 100.0));
    if (quarter == 25) out.quarter = QStringLiteral("1/4");
    else if (quarter == 50) out.quarter = QStringLiteral("1/2");
    else if (quarter == 75) out.quarter = QStringLiteral("3/4");
    return out;
}

} // namespace pellucar
