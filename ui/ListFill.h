#pragma once

#include <QString>

class QComboBox;
class Query;

// The list fill: empties the combo box (text and items), opens the query with
// "Select Distinct <column> From <table>" and adds the column of every row.
void listFill(QComboBox *box, Query &query, const QString &table, const QString &column);
