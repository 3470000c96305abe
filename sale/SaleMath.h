#pragma once

#include "Numbers.h"

#include <QString>
#include <optional>

// The computations of the entry line and of the current sale, on the texts the
// controls show. Bad number texts throw ConversionError.

struct LineAmounts {
    QString amount;     // price × quantity
    QString discounted; // ((price × quantity) × discount) × 0.1
};

// The line recomputation; nothing when price, quantity or discount is empty.
std::optional<LineAmounts> lineAmounts(const QString &price, const QString &quantity,
                                       const QString &discount);

// The price form of a stored price: rounded to two decimals, halves away from zero.
QString priceText(const QString &storedPrice);

// The round-off: the discounted amount truncated toward zero; empty stays empty.
QString roundedOff(const QString &discounted);

// A total as the labels under the grid show it: the sum as general number text, then
// that number's two-decimal rounding.
QString totalText(const FixedSum &sum);

// The change: paid − due, not rounded further; empty when nothing is paid.
QString changeText(const QString &paid, const QString &due);

// The 100 discount items: "10", "9.9", "9.8", …, "0.1".
QStringList discountItems();
