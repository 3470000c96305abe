#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>
#include <string>

// Number conversion failure. what() is the UTF-8 message shown in the error box,
// e.g. "'abc' is not a valid floating point value".
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

// Number reading: optional blanks, optional sign, digits with at most one ".",
// optional exponent, optional blanks. "." reads as 0, "12." as 12, ".5" as 0.5.
// Anything else (also the empty text) throws ConversionError.
long double readNumber(const QString &text);

// The message of a failed number reading.
QString conversionMessage(const QString &text);

// General number text: 15 significant digits, halves away from zero judged on the
// 18-digit decimal expansion, no trailing zeros; fixed notation from 0.0001 up to
// 10^15, scientific ("1E-5", "1.5E15") outside.
QString generalText(long double value);

// The display patterns "0.00" and "#0.##" (halves away from zero, judged on the
// 18-digit decimal expansion).
QString formatFloat(const QString &pattern, long double value);

// The two-decimal rounding of the totals: x / f rounded half to even, times f,
// f being the double nearest to 0.01; computed in extended precision.
double roundTwoDecimals(double value);

// The price form: the value rounded to two decimals (halves away from zero), read back.
long double priceForm(long double value);

// The sum list's fixed-point sum: a 64-bit count of ten-thousandths; each value is
// added as value * 10000 rounded half to even.
class FixedSum {
public:
    void add(double value);
    void remove(double value);
    long double value() const;
    void clear() { count_ = 0; }

private:
    std::int64_t count_ = 0;
};
