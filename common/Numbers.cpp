#include "Numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

// All number texts use "." whatever the process locale says: conversions go through a
// private "C" locale object, never through the global one.

namespace {

locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// The decimal expansion of an extended value to 18 significant digits (rounded half to
// even on the exact binary value): value = d1.d2...d18 x 10^exponent.
struct Decimal {
    bool negative = false;
    bool zero = false;
    std::string digits; // 18 digits
    int exponent = 0;
};

constexpr int ExpansionDigits = 18;

Decimal expand(long double value) {
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0) {
        d.zero = true;
        d.digits.assign(ExpansionDigits, '0');
        return d;
    }
    char buffer[64];
    const locale_t previous = uselocale(cLocale());
    std::snprintf(buffer, sizeof buffer, "%.*Le", ExpansionDigits - 1, value);
    uselocale(previous);

    // "-d.ddddde+xx"; any byte that is not a digit before the "e" is the sign or the point.
    const char *p = buffer;
    for (; *p != '\0' && *p != 'e' && *p != 'E'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
    }
    if (*p != '\0')
        d.exponent = static_cast<int>(std::strtol(p + 1, nullptr, 10));
    d.digits.resize(ExpansionDigits, '0');
    return d;
}

// Adds one to a string of decimal digits; returns false when it carried out of the
// leftmost digit (the digits are then all "0").
bool increment(std::string &digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it == '9') {
            *it = '0';
        } else {
            ++*it;
            return true;
        }
    }
    return false;
}

QString specialText(long double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

ConversionError::ConversionError(const QString &message)
    : std::runtime_error(message.toUtf8().toStdString()) {}

QString conversionMessage(const QString &text) {
    return QStringLiteral("'") + text + QStringLiteral("' is not a valid floating point value");
}

long double readNumber(const QString &text) {
    const auto fail = [&text]() { return ConversionError(conversionMessage(text)); };

    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;

    std::string sign;
    std::string whole;
    std::string fraction;
    std::string exponent;
    bool point = false;

    qsizetype i = begin;
    if (i < end && (text.at(i) == u'+' || text.at(i) == u'-')) {
        if (text.at(i) == u'-')
            sign = "-";
        ++i;
    }
    for (; i < end; ++i) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c)) {
            (point ? fraction : whole).push_back(static_cast<char>(c.unicode()));
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!point && whole.empty())
        throw fail(); // no mantissa: "", "+", "e5"
    if (i < end && (text.at(i) == u'e' || text.at(i) == u'E')) {
        ++i;
        if (i < end && (text.at(i) == u'+' || text.at(i) == u'-')) {
            if (text.at(i) == u'-')
                exponent = "-";
            ++i;
        }
        const qsizetype digitsStart = i;
        for (; i < end && isAsciiDigit(text.at(i)); ++i)
            exponent.push_back(static_cast<char>(text.at(i).unicode()));
        if (i == digitsStart)
            throw fail(); // "1e", "1e+"
    }
    if (i != end)
        throw fail();

    // A lone point stands for 0; strtold wants a digit on one side of it.
    std::string normal = sign + (whole.empty() ? "0" : whole) + "." + fraction;
    if (!exponent.empty())
        normal += "e" + exponent;

    char *stop = nullptr;
    const long double value = strtold_l(normal.c_str(), &stop, cLocale());
    if (stop != normal.c_str() + normal.size() || std::isinf(value))
        throw fail();
    return value;
}

QString generalText(long double value) {
    if (!std::isfinite(value))
        return specialText(value);
    const Decimal d = expand(value);
    if (d.zero)
        return QStringLiteral("0");

    // 15 significant digits, halves away from zero on the 18-digit expansion.
    constexpr int Precision = 15;
    std::string digits = d.digits.substr(0, Precision);
    int exponent = d.exponent;
    if (d.digits[Precision] >= '5' && !increment(digits)) {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++exponent;
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = d.negative ? "-" : "";
    if (exponent >= -4 && exponent < Precision) {
        if (exponent >= 0) {
            const auto wholeCount = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= wholeCount) {
                out += digits + std::string(wholeCount - digits.size(), '0');
            } else {
                out += digits.substr(0, wholeCount) + "." + digits.substr(wholeCount);
            }
        } else {
            out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

QString formatFloat(const QString &pattern, long double value) {
    const bool fixedDecimals = pattern == QStringLiteral("0.00");
    if (!fixedDecimals && pattern != QStringLiteral("#0.##"))
        throw std::invalid_argument("unsupported number pattern: " + pattern.toStdString());
    if (!std::isfinite(value))
        return specialText(value);

    const Decimal d = expand(value);
    if (!d.zero && d.exponent >= 18)
        return generalText(value);

    // The value in hundredths, rounded halves away from zero on the 18-digit expansion.
    std::string hundredths;
    if (!d.zero) {
        const int kept = d.exponent + 3; // digits down to the hundredths
        if (kept >= ExpansionDigits) {
            hundredths =
                d.digits + std::string(static_cast<std::size_t>(kept - ExpansionDigits), '0');
        } else if (kept >= 0) {
            hundredths = d.digits.substr(0, static_cast<std::size_t>(kept));
            if (d.digits[static_cast<std::size_t>(kept)] >= '5' && !increment(hundredths))
                hundredths.insert(hundredths.begin(), '1');
        }
    }
    const auto firstNonZero = hundredths.find_first_not_of('0');
    hundredths.erase(0, firstNonZero == std::string::npos ? hundredths.size() : firstNonZero);
    const bool negative = d.negative && !hundredths.empty();
    if (hundredths.size() < 3)
        hundredths.insert(0, 3 - hundredths.size(), '0');

    std::string decimals = hundredths.substr(hundredths.size() - 2);
    if (!fixedDecimals) {
        while (!decimals.empty() && decimals.back() == '0')
            decimals.pop_back();
    }
    std::string out = negative ? "-" : "";
    out += hundredths.substr(0, hundredths.size() - 2);
    if (!decimals.empty())
        out += "." + decimals;
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

double roundTwoDecimals(double value) {
    const double f = 0.01;
    const long double quotient = static_cast<long double>(value) / static_cast<long double>(f);
    const long double whole = std::nearbyintl(quotient); // default mode: halves to even
    return static_cast<double>(whole * static_cast<long double>(f));
}

long double priceForm(long double value) {
    return readNumber(formatFloat(QStringLiteral("0.00"), value));
}

namespace {
std::int64_t tenThousandths(double value) {
    return static_cast<std::int64_t>(std::nearbyintl(static_cast<long double>(value) * 10000.0L));
}
} // namespace

void FixedSum::add(double value) {
    count_ += tenThousandths(value);
}

void FixedSum::remove(double value) {
    count_ -= tenThousandths(value);
}

long double FixedSum::value() const {
    return static_cast<long double>(count_) / 10000.0L;
}
