#pragma once

#include "Numbers.h"
#include "QueryModel.h"

#include <QPointer>
#include <QTableView>
#include <optional>

class GridFooter;
class QStyledItemDelegate;

// The data grid of every list window: the rows of a query with the row-number column
// "序号", "#0.##" number cells, title buttons that show a sort mark without sorting,
// and an optional yellow footer with "合计" and fixed-point column sums.
//
// The grid's current row is the query's current row both ways: clicking a row or
// moving with the keys moves the query, and moving the query selects the row.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    // Binds the grid to a query (or to none). An open query's rows are read now.
    void setQuery(Query *query);
    Query *query() const;
    void setColumns(const QVector<GridColumn> &columns);
    const QVector<GridColumn> &columns() const;
    QueryModel *queryModel() const { return model_; }

    // The font of the cells (宋体 15 px unless set); titles keep 宋体 15 px bold.
    void setDataFont(const QFont &font);

    // Whether the window numbers its rows while the list is empty. The grid shows no
    // row for an empty list, so either way an empty list shows no number; the
    // setting records each window's rule.
    void setNumberEmptyRows(bool on) { numberEmptyRows_ = on; }
    bool numberEmptyRows() const { return numberEmptyRows_; }

    // The footer row under the data rows.
    void setFooterVisible(bool visible);
    bool isFooterVisible() const { return footerVisible_; }

    // The sum of a column marked `sum` over all rows of the list (0 when the field is
    // not summed or the query is closed). Kept whether or not the footer shows.
    long double footerSum(const QString &field) const;
    // The footer text of a column: "合计" under the row-number column, the "#0.##"
    // sum under a summed column of an open query, empty otherwise.
    QString footerText(int column) const;

signals:
    // A double click anywhere on the grid's data area, on a row or not.
    void gridDoubleClicked();

protected:
    void updateGeometries() override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    struct Sum {
        int column = -1;
        int field = -1;
        FixedSum sum;
        std::optional<double> current; // the value in the query's current row
    };

    void resultReset();
    void load();
    void rowInserted(int row);
    void rowChanged(int row);
    void rowRemoved(int row);
    void currentChanged(int row);
    void viewRowChanged(const QModelIndex &current);
    void showRow(int row);
    int currentRow() const; // the query's current row, -1 when none

    void setupSums();
    void rebuildSums();
    void rememberCurrentRow(int row);
    std::optional<double> sumValue(const Sum &s, int row) const;

    QueryModel *model_;
    GridFooter *footer_;
    QStyledItemDelegate *rowNumbers_;
    QPointer<Query> query_;
    QVector<Sum> sums_;
    int sumsRow_ = -1; // the row whose values Sum::current holds
    bool numberEmptyRows_ = false;
    bool footerVisible_ = false;
    bool syncing_ = false; // the view follows the query: do not move the query back
};
