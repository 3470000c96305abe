#pragma once

#include <QString>
#include <optional>

class Connection;
class Query;

// The sales records without their windows: what the statistics, query and detail
// windows do with the store.

// The receipt number of the list's current row; none when the list is closed or
// empty, or the row carries no number (NULL).
std::optional<QString> currentReceiptNumber(Query &list);

// Deletes the current receipt of the list and, in the same transaction, its lines in
// xsmx, unless another receipt row still carries the same number (then its lines are
// theirs too and stay). After any failure nothing is deleted.
void deleteReceipt(Connection &connection, Query &list);

// Opens the lines of one receipt: the xsmx rows whose number equals it exactly, in
// table order. Without a number it opens an empty list.
void loadReceiptLines(Query &lines, const std::optional<QString> &number);

// What the query window does with its two criteria. A box counts as filled when its
// text is not empty (spaces are text).
enum class SalesQuery {
    Refused,   // both empty: the "查询信息不能为空！" warning
    ByNumber,  // only the receipt number
    ByCashier, // only the cashier
    Nothing,   // both filled: nothing happens
};
SalesQuery salesQueryFor(const QString &number, const QString &cashier);
