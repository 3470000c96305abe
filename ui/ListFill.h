#pragma once

#include <QString>

class QComboBox;
class Query;

// The list fill: empties the combo box (text and items), opens the query with
// "Select Distinct <column> From <table>" and adds the column of every row.
void listFill(QComboBox *box, Query &query, const QString &table, const QString &column);

// The list fill after a write of the program's own whose effect on the list is known:
// the box holds the column as it stood before the write, and `added`, when not empty,
// is the one value the write appended as the table's new last row, a value the table
// did not hold before. Leaves the box and the query as listFill() does, without
// reading the table again.
void listFillAfterWrite(QComboBox *box, Query &query, const QString &table, const QString &column,
                        const QString &added);
