#pragma once

#include "Database.h"

#include <QString>

// The rules of the settings window and its dialogs that need no widget.

// The user that can never be deleted: exactly "admin" (letter case counts).
bool isProtectedUser(const QString &name);

// The entry of the permission list for a stored permission: 0 ("管理员") for exactly
// "管理员", 1 ("普通用户") for any other text.
int permissionEntry(const QString &permission);

// The permission written by the modify-user dialog: the list's choice when the
// logged-in user may change permissions, else the user's stored permission.
QString permissionToStore(bool listEnabled, const QString &chosen, const QString &stored);

// The price the modify-goods dialog shows: the stored price rounded to two decimals
// (halves away from zero) and written without trailing zeros (12.346 → 12.35,
// 12.50 → 12.5). An empty or non-numeric text throws ConversionError.
QString modifyPriceText(const QString &storedPrice);

// Refuses a price text that the unit-price column cannot take: one without a digit
// before its exponent, such as a lone "." (the key filter of the price box lets it
// through). Throws ConversionError with the message of a number column. The empty
// text is accepted (no price).
void requireStorablePrice(const QString &text);

// The remark text as saved: the memo's lines joined by carriage return and line feed.
QString remarkText(const QString &memoText);

// Keeps a query from staying in edit or insert state when a write fails half-way:
// the pending row is dropped when the scope ends before it was posted.
class PendingWrite {
public:
    explicit PendingWrite(Query &query) : query_(query) {}
    ~PendingWrite();
    PendingWrite(const PendingWrite &) = delete;
    PendingWrite &operator=(const PendingWrite &) = delete;

private:
    Query &query_;
};
