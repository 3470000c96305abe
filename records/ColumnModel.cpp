#include "ColumnModel.h"

#include "Database.h"

ColumnModel::ColumnModel(QObject *parent) : QAbstractListModel(parent) {}

void ColumnModel::setQuery(Query *query, const QString &field) {
    if (query_)
        disconnect(query_, nullptr, this, nullptr);
    clear();
    query_ = query;
    fieldName_ = field;
    if (query) {
        // Only empties: reading the rows here could fail inside the query's signal.
        connect(query, &Query::resultReset, this, &ColumnModel::clear);
        connect(query, &QObject::destroyed, this, &ColumnModel::clear);
    }
}

void ColumnModel::clear() {
    if (rows_ == 0 && field_ < 0)
        return;
    beginResetModel();
    rows_ = 0;
    field_ = -1;
    endResetModel();
}

void ColumnModel::load() {
    clear();
    if (!query_ || !query_->isOpen())
        return;
    const int field = query_->fieldIndex(fieldName_);
    const int rows = field < 0 ? 0 : query_->recordCount();
    beginResetModel();
    field_ = field;
    rows_ = rows;
    endResetModel();
}

int ColumnModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant ColumnModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || field_ < 0 || !query_)
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return query_->text(index.row(), field_);
}
