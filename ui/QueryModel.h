#pragma once

#include "Database.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>
#include <QVector>

// One column of a data grid. A column bound to no field is the row-number column
// "序号": it shows the 1-based position of the row in the list.
struct GridColumn {
    enum Display {
        Text,  // the field's text
        Number // "#0.##", left-aligned; NULL shows empty
    };
    QString title;
    QString field;
    int width = 64;
    Display display = Text;
    bool sum = false; // summed in the footer (fixed point)
};

// The rows of a query as a table. Nothing of the rows is copied: every cell is read
// from the query and formatted when the view asks for it, so a list of half a million
// receipts costs only what the query itself holds.
class QueryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QueryModel(QObject *parent = nullptr);

    // Binds the model to a query (or to none) and empties it until load().
    void setQuery(Query *query);
    Query *query() const { return query_; }
    void setColumns(const QVector<GridColumn> &columns);
    const QVector<GridColumn> &columns() const { return columns_; }

    // Empties the model; load() then takes the rows the query holds now (reading them
    // from the file when the query has not read them yet). A failing read leaves the
    // model empty.
    void clear();
    void load();
    bool isLoaded() const { return loaded_; }

    // The query added, changed or removed a row (after the fact).
    void rowInserted(int row);
    void rowChanged(int row);
    void rowRemoved(int row);

    // The query's field index of a column, -1 for the row-number column or a field
    // the query lacks.
    int fieldIndex(int column) const;

    // How many cells have been read from the query so far.
    qint64 cellReads() const { return cellReads_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void resolveFields();
    bool readable(int row) const;

    QPointer<Query> query_;
    QVector<GridColumn> columns_;
    QVector<int> fieldIndex_;
    int rows_ = 0;
    bool loaded_ = false;
    mutable qint64 cellReads_ = 0;
};
