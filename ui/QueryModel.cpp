#include "QueryModel.h"

#include "Database.h"
#include "Numbers.h"

QueryModel::QueryModel(QObject *parent) : QAbstractTableModel(parent) {}

void QueryModel::setQuery(Query *query) {
    beginResetModel();
    query_ = query;
    rows_ = 0;
    loaded_ = false;
    fieldIndex_.fill(-1, columns_.size());
    endResetModel();
}

void QueryModel::setColumns(const QVector<GridColumn> &columns) {
    beginResetModel();
    columns_ = columns;
    resolveFields();
    endResetModel();
}

void QueryModel::resolveFields() {
    fieldIndex_.fill(-1, columns_.size());
    if (!loaded_ || !query_ || !query_->isOpen())
        return;
    for (qsizetype c = 0; c < columns_.size(); ++c) {
        if (!columns_[c].field.isEmpty())
            fieldIndex_[c] = query_->fieldIndex(columns_[c].field);
    }
}

void QueryModel::clear() {
    beginResetModel();
    rows_ = 0;
    loaded_ = false;
    fieldIndex_.fill(-1, columns_.size());
    endResetModel();
}

void QueryModel::load() {
    // Empty first: should reading the rows fail, the model stays empty and consistent.
    clear();
    if (!query_ || !query_->isOpen())
        return;
    const int count = query_->recordCount();
    beginResetModel();
    rows_ = count;
    loaded_ = true;
    resolveFields();
    endResetModel();
}

void QueryModel::rowInserted(int row) {
    if (!loaded_)
        return;
    beginInsertRows({}, row, row);
    ++rows_;
    endInsertRows();
}

void QueryModel::rowChanged(int row) {
    if (!loaded_ || row < 0 || row >= rows_ || columns_.isEmpty())
        return;
    emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
}

void QueryModel::rowRemoved(int row) {
    if (!loaded_ || row < 0 || row >= rows_)
        return;
    beginRemoveRows({}, row, row);
    --rows_;
    endRemoveRows();
}

int QueryModel::fieldIndex(int column) const {
    return column >= 0 && column < fieldIndex_.size() ? fieldIndex_[column] : -1;
}

bool QueryModel::readable(int row) const {
    // The query has already dropped a removed row while the view may still ask for
    // the old last row: ask the query, not only the model's own count.
    return loaded_ && query_ && query_->isOpen() && row >= 0 && row < rows_ &&
           row < query_->recordCount();
}

int QueryModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : rows_;
}

int QueryModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant QueryModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.column() >= columns_.size())
        return {};
    const GridColumn &column = columns_[index.column()];
    switch (role) {
    case Qt::DisplayRole: {
        if (!readable(index.row()))
            return {};
        if (column.field.isEmpty())
            return QString::number(index.row() + 1);
        const int field = fieldIndex_[index.column()];
        if (field < 0)
            return QString();
        ++cellReads_;
        if (column.display == GridColumn::Number) {
            const std::optional<double> v = query_->number(index.row(), field);
            return v ? formatFloat(QStringLiteral("#0.##"), *v) : QString();
        }
        return query_->text(index.row(), field);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section + 1;
        return {};
    }
    if (section < 0 || section >= columns_.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return columns_[section].title;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    default:
        return {};
    }
}

Qt::ItemFlags QueryModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
