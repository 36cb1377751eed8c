#include "common/format.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace pellucar {
namespace {

// A finite value as sign, digits and the position of the decimal point
// within the digits (digits "18455", point 2 means 18.455).
struct Decimal {
    bool negative = false;
    std::string digits; // no leading zeros except a single "0"
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
    std::string mant = s.substr(0, e);
    std::string digits;
    for (char c : mant)
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

// Whole part and fraction part as digit strings after rounding to `places`
// decimals half away from zero.
void roundParts(const Decimal& d, int places, std::string* whole, std::string* frac, bool* negative) {
    // Lay the digits out on a fixed grid: whole digits, then `places` decimals.
    std::string w, f;
    for (int i = 0; i < d.point; ++i) w += (i < (int)d.digits.size()) ? d.digits[i] : '0';
    if (w.empty()) w = "0";
    int firstFrac = d.point; // index into digits of the first decimal
    std::string allFrac;
    for (int i = 0; i < places + 1; ++i) {
        int idx = firstFrac + i;
        char c = (idx < 0 || idx >= (int)d.digits.size()) ? '0' : d.digits[idx];
        allFrac += c;
    }
    f = allFrac.substr(0, places);
    bool roundUp = allFrac[places] >= '5';
    if (roundUp) {
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
    int minWhole = 0;
    int minFrac = 0;
    int maxFrac = 0;
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

// The charts format thousands of numbers a redraw with a handful of
// patterns; reading a pattern's text costs more than the number itself, so
// each thread keeps the patterns it has read.
const Pattern& patternOf(const QString& text) {
    struct Entry {
        QString text;
        Pattern pattern;
    };
    thread_local std::vector<Entry> known;
    for (const Entry& e : known)
        if (e.text == text) return e.pattern;
    // Patterns come from a fixed set in the program; the bound only guards
    // against a caller that builds them from data.
    constexpr size_t kMaxKnown = 32;
    if (known.size() >= kMaxKnown) known.erase(known.begin());
    known.push_back({text, parsePattern(text)});
    return known.back().pattern;
}

template <typename T> QString formatWith(T v, const Pattern& p, int shift = 0) {
    std::string whole, frac;
    bool negative;
    Decimal d = toDecimal(v);
    // Scaling by a power of ten moves the decimal point in the text, so a
    // percentage of 0.00035 reads 0.035 exactly before it is rounded.
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

template <typename T> QString formatWith(T v, const QString& pattern, int shift = 0) {
    return formatWith(v, patternOf(pattern), shift);
}

template <typename T> QString plainText(T v) {
    Decimal d = toDecimal(v);
    std::string s;
    if (d.point <= 0) {
        s = "0." + std::string(-d.point, '0') + d.digits;
    } else if (d.point >= (int)d.digits.size()) {
        s = d.digits + std::string(d.point - d.digits.size(), '0');
    } else {
        s = d.digits.substr(0, d.point) + "." + d.digits.substr(d.point);
    }
    if (d.negative) s.insert(s.begin(), '-');
    return QString::fromStdString(s);
}

// Reads a number text the C way, whatever locale the process runs in.
double parseNumber(const std::string& s) {
    double out = 0;
    std::from_chars(s.data(), s.data() + s.size(), out);
    return out;
}

template <typename T> double roundWith(T v, int decimals, int shift = 0) {
    std::string whole, frac;
    bool negative;
    Decimal d = toDecimal(v);
    if (d.digits != "0") d.point += shift;
    roundParts(d, decimals, &whole, &frac, &negative);
    return parseNumber((negative ? "-" : "") + whole + (frac.empty() ? "" : "." + frac));
}

} // namespace

QString formatPattern(double v, const QString& pattern) { return formatWith(v, pattern); }
QString formatPatternF(float v, const QString& pattern) { return formatWith(v, pattern); }
QString formatStandard(double v) { return formatWith(v, QStringLiteral("#,##0.00")); }
QString formatStandardF(float v) { return formatWith(v, QStringLiteral("#,##0.00")); }
QString formatPercent(double v) { return formatWith(v, QStringLiteral("0.00"), 2) + '%'; }
QString formatWhole(double v) { return formatWith(v, QStringLiteral("#,##0")); }
QString formatPlain(double v) { return plainText(v); }
QString formatPlainF(float v) { return plainText(v); }
double roundDecimal(double v, int decimals) { return roundWith(v, decimals); }
double roundDecimalF(float v, int decimals) { return roundWith(v, decimals); }
double roundScaled(double v, int powerOfTen, int decimals) { return roundWith(v, decimals, powerOfTen); }

double roundByPattern(double v, const QString& pattern) {
    return roundWith(v, patternOf(pattern).maxFrac);
}
double roundByPatternF(float v, const QString& pattern) {
    return roundWith(v, patternOf(pattern).maxFrac);
}

} // namespace pellucar
