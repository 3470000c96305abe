#pragma once

#include <QAbstractListModel>
#include <QPointer>
#include <QString>

class Query;

// One column of a query's rows as the items of a list (a combo box's drop-down).
// Nothing is copied: an item is read from the query when the view asks for it, so
// the receipt numbers of a long history cost only what the query holds.
class ColumnModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ColumnModel(QObject *parent = nullptr);

    // Binds the model to a column of a query; empty until load().
    void setQuery(Query *query, const QString &field);
    // Takes the rows the query holds now (reading them if it has not yet). A closed
    // query gives no items. Whenever the query's result is replaced, the model
    // empties until the next load().
    void load();
    void clear();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QPointer<Query> query_;
    QString fieldName_;
    int field_ = -1;
    int rows_ = 0;
};
