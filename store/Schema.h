#pragma once

#include <QString>
#include <vector>

// The tables of data.mdb, their columns and the rules the store enforces on them.
namespace Schema {

enum class Kind { Text, Number, Key };

struct Column {
    const char *name;
    Kind kind;
    int width; // characters a text column holds; 0 for other kinds
};

struct Table {
    const char *name;
    std::vector<Column> columns;
    bool checkedOnOpen; // opening the table fails when a column is missing or of another kind
    // The current sale: every running copy of the program keeps its own, in memory,
    // under the same name, so two tills on one file never see each other's lines. The
    // file keeps the table too; a copy reads and writes only its own.
    bool perTill = false;
};

// All seven tables, in creation order.
const std::vector<Table> &tables();
// The table of that name, or nullptr.
const Table *table(const QString &name);
// The column of that table, or nullptr.
const Column *column(const Table &table, const QString &name);

// "CREATE TABLE name (...)" with the declared column types; TEMP for a till's own.
QString createStatement(const Table &table, bool temporary = false);

// The indexes every data.mdb has: the receipt number of the receipts and of their
// lines, so that one receipt's lines are found without reading the whole history.
// Statements with "IF NOT EXISTS": a file made before them gets them when opened.
const std::vector<const char *> &indexes();

// The database password of data.mdb.
const char *databaseKey();

} // namespace Schema
