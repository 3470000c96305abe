#include "SaleMath.h"

#include <QStringList>
#include <cmath>

std::optional<LineAmounts> lineAmounts(const QString &price, const QString &quantity,
                                       const QString &discount) {
    if (price.isEmpty() || quantity.isEmpty() || discount.isEmpty())
        return std::nullopt;
    const long double p = readNumber(price);
    const long double q = readNumber(quantity);
    const long double d = readNumber(discount);
    LineAmounts a;
    a.amount = generalText(p * q);
    a.discounted = generalText(((p * q) * d) * 0.1L);
    return a;
}

QString priceText(const QString &storedPrice) {
    return generalText(priceForm(readNumber(storedPrice)));
}

QString roundedOff(const QString &discounted) {
    if (discounted.isEmpty())
        return discounted;
    return generalText(truncl(readNumber(discounted)));
}

QString totalText(const FixedSum &sum) {
    const QString raw = generalText(sum.value());
    return generalText(roundTwoDecimals(double(readNumber(raw))));
}

QString changeText(const QString &paid, const QString &due) {
    if (paid.isEmpty())
        return QString();
    return generalText(readNumber(paid) - readNumber(due));
}

QStringList discountItems() {
    QStringList items{QStringLiteral("10")};
    for (int tenths = 99; tenths >= 1; --tenths)
        items << QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
    return items;
}
