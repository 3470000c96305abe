#include "SalesRecords.h"

#include "Conventions.h"
#include "Database.h"

namespace {
const QString receipts = QStringLiteral("xstj");
const QString lineTable = QStringLiteral("xsmx");
const QString numberField = QStringLiteral("单号");
} // namespace

std::optional<QString> currentReceiptNumber(Query &list) {
    if (!list.isOpen())
        return std::nullopt;
    const int row = list.recNo() - 1;
    const int field = list.fieldIndex(numberField);
    if (row < 0 || field < 0)
        return std::nullopt;
    const Value value = list.value(row, field);
    if (value.isNull())
        return std::nullopt;
    return value.toText();
}

void deleteReceipt(Connection &connection, Query &list) {
    const std::optional<QString> number = currentReceiptNumber(list);
    Transaction transaction(connection);
    list.remove();
    if (number) {
        // The queries live inside the transaction: a rollback finds them gone.
        Query others(connection);
        exactLookup(others, receipts, numberField, *number);
        if (others.isEmpty()) {
            Query lines(connection);
            exactLookup(lines, lineTable, numberField, *number);
            while (!lines.isEmpty())
                lines.remove();
        }
    }
    transaction.commit();
}

void loadReceiptLines(Query &lines, const std::optional<QString> &number) {
    if (number) {
        exactLookup(lines, lineTable, numberField, *number);
        return;
    }
    lines.close();
    lines.setSql(QStringLiteral("select * from xsmx where 1 = 0"));
    lines.open();
}

SalesQuery salesQueryFor(const QString &number, const QString &cashier) {
    if (number.isEmpty())
        return cashier.isEmpty() ? SalesQuery::Refused : SalesQuery::ByCashier;
    return cashier.isEmpty() ? SalesQuery::ByNumber : SalesQuery::Nothing;
}
