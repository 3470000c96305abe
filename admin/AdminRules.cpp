#include "AdminRules.h"

#include "Numbers.h"

bool isProtectedUser(const QString &name) {
    return name == QLatin1String("admin");
}

int permissionEntry(const QString &permission) {
    return permission == QStringLiteral("管理员") ? 0 : 1;
}

QString permissionToStore(bool listEnabled, const QString &chosen, const QString &stored) {
    return listEnabled ? chosen : stored;
}

QString modifyPriceText(const QString &storedPrice) {
    return generalText(priceForm(readNumber(storedPrice)));
}

void requireStorablePrice(const QString &text) {
    if (text.isEmpty())
        return;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('e') || ch == QLatin1Char('E'))
            break;
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            return;
    }
    throw ConversionError(QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                              .arg(text, QStringLiteral("单价")));
}

QString remarkText(const QString &memoText) {
    QString text = memoText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

PendingWrite::~PendingWrite() {
    if (query_.isOpen() && query_.state() != Query::State::Browse)
        query_.cancel();
}
