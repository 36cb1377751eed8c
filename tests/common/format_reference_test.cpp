// The number routines against the first way they were written: every text
// built from std::string pieces of the value's shortest decimal text. The
// game's texts and rounded values must not change by a character or a bit,
// so the present routines are compared with that reference over many
// values, rounding edges and patterns.
#include "common/format.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

namespace reference {

struct Decimal {
    bool negative = false;
    std::string digits;
    int point = 0;
};

template <typename T> Decimal toDecimal(T v) {
    Decimal d;
    if (!std::isfinite(v)) v = 0;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    std::string s(buf, res.ptr);
    if (!s.empty() && s[0] == '-') {
        d.negative = true;
        s.erase(0, 1);
    }
    auto e = s.find('e');
    int exp = std::stoi(s.substr(e + 1));
    std::string digits;
    for (char c : s.substr(0, e))
        if (c != '.') digits += c;
    d.digits = digits;
    d.point = exp + 1;
    if (digits.find_first_not_of('0') == std::string::npos) {
        d.digits = "0";
        d.point = 1;
        d.negative = false;
    }
    return d;
}

void roundParts(const Decimal& d, int places, std::string* whole, std::string* frac, bool* negative) {
    std::string w, f;
    for (int i = 0; i < d.point; ++i) w += (i < (int)d.digits.size()) ? d.digits[i] : '0';
    if (w.empty()) w = "0";
    std::string allFrac;
    for (int i = 0; i < places + 1; ++i) {
        int idx = d.point + i;
        allFrac += (idx < 0 || idx >= (int)d.digits.size()) ? '0' : d.digits[idx];
    }
    f = allFrac.substr(0, places);
    if (allFrac[places] >= '5') {
        std::string num = w + f;
        int i = (int)num.size() - 1;
        while (i >= 0) {
            if (num[i] == '9') {
                num[i] = '0';
                --i;
            } else {
                ++num[i];
                break;
            }
        }
        if (i < 0) num.insert(num.begin(), '1');
        w = num.substr(0, num.size() - places);
        f = num.substr(num.size() - places);
    }
    auto nz = w.find_first_not_of('0');
    w = (nz == std::string::npos) ? std::string("0") : w.substr(nz);
    bool zero = (w == "0") && f.find_first_not_of('0') == std::string::npos;
    *whole = w;
    *frac = f;
    *negative = d.negative && !zero;
}

struct Pattern {
    QString prefix, suffix;
    bool thousands = false;
    int minWhole = 0, minFrac = 0, maxFrac = 0;
};

Pattern parsePattern(const QString& p) {
    Pattern out;
    int start = -1, end = -1;
    for (int i = 0; i < p.size(); ++i) {
        QChar c = p[i];
        if (c == '#' || c == '0' || c == '.' || c == ',') {
            if (start < 0) start = i;
            end = i;
        }
    }
    if (start < 0) {
        out.prefix = p;
        return out;
    }
    out.prefix = p.left(start);
    out.suffix = p.mid(end + 1);
    QString body = p.mid(start, end - start + 1);
    int dot = body.indexOf('.');
    QString wholePart = dot < 0 ? body : body.left(dot);
    QString fracPart = dot < 0 ? QString() : body.mid(dot + 1);
    out.thousands = wholePart.contains(',');
    out.minWhole = wholePart.count('0');
    out.maxFrac = fracPart.count('#') + fracPart.count('0');
    out.minFrac = fracPart.lastIndexOf('0') + 1;
    return out;
}

template <typename T> QString formatWith(T v, const QString& pattern, int shift = 0) {
    const Pattern p = parsePattern(pattern);
    std::string whole, frac;
    bool negative;
    Decimal d = toDecimal(v);
    if (d.digits != "0") d.point += shift;
    roundParts(d, p.maxFrac, &whole, &frac, &negative);
    while ((int)frac.size() > p.minFrac && frac.back() == '0') frac.pop_back();
    if (whole == "0" && p.minWhole == 0) whole.clear();
    while ((int)whole.size() < p.minWhole) whole.insert(whole.begin(), '0');
    if (p.thousands && whole.size() > 3) {
        std::string grouped;
        int n = (int)whole.size();
        for (int i = 0; i < n; ++i) {
            grouped += whole[i];
            int left = n - 1 - i;
            if (left > 0 && left % 3 == 0) grouped += ',';
        }
        whole = grouped;
    }
    QString text = QString::fromStdString(whole);
    if (!frac.empty()) text += '.' + QString::fromStdString(frac);
    if (negative) text.prepend('-');
    return p.prefix + text + p.suffix;
}

template <typename T> QString plainText(T v) {
    Decimal d = toDecimal(v);
    std::string s;
    if (d.point <= 0) s = "0." + std::string(-d.point, '0') + d.digits;
    else if (d.point >= (int)d.digits.size()) s = d.digits + std::string(d.point - d.digits.size(), '0');
    else s = d.digits.substr(0, d.point) + "." + d.digits.substr(d.point);
    if (d.negative) s.insert(s.begin(), '-');
    return QString::fromStdString(s);
}

template <typename T> double roundWith(T v, int decimals, int shift = 0) {
    std::string whole, frac;
    bool negative;
    Decimal d = toDecimal(v);
    if (d.digits != "0") d.point += shift;
    roundParts(d, decimals, &whole, &frac, &negative);
    const std::string s = (negative ? "-" : "") + whole + (frac.empty() ? "" : "." + frac);
    double out = 0;
    std::from_chars(s.data(), s.data() + s.size(), out);
    return out;
}

} // namespace reference

std::string s(const QString& q) { return q.toStdString(); }

// The same double, bit for bit (a +0 is not a -0).
::testing::AssertionResult sameBits(double expected, double actual) {
    if (std::bit_cast<std::uint64_t>(expected) == std::bit_cast<std::uint64_t>(actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

double fromText(const std::string& t) {
    double v = 0;
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
}

// Plain values, values whose decimal text ends in a 5 at each place (the
// half-way cases), runs of nines that carry, magnitudes from the tiny to the
// huge, and values that are not numbers at all.
std::vector<double> sampleValues() {
    std::vector<double> values{0.0,
                               -0.0,
                               0.5,
                               -0.5,
                               1.005,
                               2.675,
                               18.455,
                               9.995,
                               999.995,
                               99999.999,
                               0.99999,
                               9.999996,
                               0.00035,
                               0.00085,
                               -0.00195,
                               118.15625,
                               6.1225,
                               1e15,
                               1e22,
                               1e300,
                               -1e300,
                               1e-300,
                               5e-324,
                               std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::lowest(),
                               std::numeric_limits<double>::min(),
                               std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity()};
    std::mt19937_64 rng(20260612);
    std::uniform_int_distribution<std::int64_t> mantissa(0, 99999999);
    std::uniform_int_distribution<int> places(0, 9), magnitude(-14, 14), sign(0, 1);
    for (int i = 0; i < 300; ++i) {
        // A decimal of up to nine places ending in 5, and one ending in 9s.
        const std::string digits = std::to_string(mantissa(rng));
        const int p = places(rng);
        const std::string whole = digits.substr(0, digits.size() > static_cast<size_t>(p) ? digits.size() - p : 0);
        const std::string frac = digits.substr(whole.size());
        const std::string minus = sign(rng) ? "-" : "";
        values.push_back(fromText(minus + (whole.empty() ? "0" : whole) + "." + frac + "5"));
        values.push_back(fromText(minus + (whole.empty() ? "0" : whole) + "." + frac + "9999"));
        // Any double at a random magnitude, and a float-sized one.
        const double any = std::ldexp(static_cast<double>(rng() >> 11), -53) * std::pow(10.0, magnitude(rng));
        values.push_back(sign(rng) ? -any : any);
        values.push_back(static_cast<double>(mantissa(rng)) / 100.0);
        values.push_back(std::bit_cast<double>(rng()));
    }
    return values;
}

const char* const kPatterns[] = {"#,##0.00",    "0.00",         "#,##0",        "#,###.#0",     "#,##0.#####",
                                 "#,###.0##",   "#,###.###0",   " $#,##0.#0###", "#,###.#0####", "#,##.#0##",
                                 "#,###.#####", "0.0",          "#,##0.00###",  "x 0.000 y",    "",
                                 "text only",   "0",            "#",            ".##",          "00,000.0#0",
                                 "#.#,0",       "0.0.0",        "$ #,##0 per",  "#,###.#0 $",   "0000.0000"};

TEST(FormatReference, TextsMatchTheFirstFormatterForEveryPattern) {
    for (const double v : sampleValues()) {
        const float f = static_cast<float>(v);
        for (const char* text : kPatterns) {
            const QString pattern = QString::fromLatin1(text);
            ASSERT_EQ(s(pellucar::formatPattern(v, pattern)), s(reference::formatWith(v, pattern)))
                << v << " " << text;
            ASSERT_EQ(s(pellucar::formatPatternF(f, pattern)), s(reference::formatWith(f, pattern)))
                << f << " " << text;
            ASSERT_TRUE(sameBits(reference::roundWith(v, reference::parsePattern(pattern).maxFrac),
                                 pellucar::roundByPattern(v, pattern)))
                << v << " " << text;
            ASSERT_TRUE(sameBits(reference::roundWith(f, reference::parsePattern(pattern).maxFrac),
                                 pellucar::roundByPatternF(f, pattern)))
                << f << " " << text;
        }
        ASSERT_EQ(s(pellucar::formatStandard(v)), s(reference::formatWith(v, QStringLiteral("#,##0.00")))) << v;
        ASSERT_EQ(s(pellucar::formatStandardF(f)), s(reference::formatWith(f, QStringLiteral("#,##0.00")))) << f;
        ASSERT_EQ(s(pellucar::formatPercent(v)), s(reference::formatWith(v, QStringLiteral("0.00"), 2) + '%')) << v;
        ASSERT_EQ(s(pellucar::formatWhole(v)), s(reference::formatWith(v, QStringLiteral("#,##0")))) << v;
        ASSERT_EQ(s(pellucar::formatPlain(v)), s(reference::plainText(v))) << v;
        ASSERT_EQ(s(pellucar::formatPlainF(f)), s(reference::plainText(f))) << f;
    }
}

TEST(FormatReference, RoundedValuesMatchTheFirstRoundingBitForBit) {
    for (const double v : sampleValues()) {
        const float f = static_cast<float>(v);
        for (int decimals = 0; decimals <= 12; ++decimals) {
            ASSERT_TRUE(sameBits(reference::roundWith(v, decimals), pellucar::roundDecimal(v, decimals)))
                << v << " to " << decimals;
            ASSERT_TRUE(sameBits(reference::roundWith(f, decimals), pellucar::roundDecimalF(f, decimals)))
                << f << " to " << decimals;
            for (const int power : {-3, -1, 2})
                ASSERT_TRUE(sameBits(reference::roundWith(v, decimals, power),
                                     pellucar::roundScaled(v, power, decimals)))
                    << v << " x 10^" << power << " to " << decimals;
        }
    }
}

} // namespace
