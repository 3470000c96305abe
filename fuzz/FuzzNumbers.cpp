// Number reading on any text: it reads as a number or throws ConversionError,
// nothing else; a finite number's general text and display patterns read back.
#include "Numbers.h"

#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    long double value = 0;
    try {
        value = readNumber(text);
    } catch (const ConversionError &) {
        return 0;
    }
    if (!std::isfinite(value))
        return 0;
    const QString general = generalText(value);
    (void)formatFloat(QStringLiteral("0.00"), value);
    (void)formatFloat(QStringLiteral("#0.##"), value);
    (void)roundTwoDecimals(double(value));
    (void)priceForm(value);
    try {
        (void)readNumber(general);
    } catch (const ConversionError &) {
        std::abort(); // the program's own number text must read back
    }
    return 0;
}
