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
};

// All seven tables, in creation order.
const std::vector<Table> &tables();
// The table of that name, or nullptr.
const Table *table(const QString &name);
// The column of that table, or nullptr.
const Column *column(const Table &table, const QString &name);

// The database password of data.mdb.
const char *databaseKey();

} // namespace Schema
