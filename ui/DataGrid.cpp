#include "DataGrid.h"

#include "Database.h"
#include "Fonts.h"
#include "Handlers.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <exception>

namespace {

const QColor rowColour(238, 238, 238);
const QColor footerColour(255, 255, 0);

// The row-number column: the cell is painted as usual, then the number is written
// 3 px right of its left edge and 2 px below its top, clipped to the cell, in the
// grid's font and the cell's text colour.
class RowNumberDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString number = opt.text;
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        if (number.isEmpty())
            return;
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active)
                                               ? QPalette::Active
                                               : QPalette::Inactive;
        const bool selected = opt.state & QStyle::State_Selected;
        painter->save();
        painter->setClipRect(opt.rect);
        painter->setFont(opt.font);
        painter->setPen(
            opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(opt.rect.adjusted(3, 2, 0, 0),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, number);
        painter->restore();
    }
};

} // namespace

// The footer row: yellow, bold, "合计" centred under the row-number column and the
// sums left-aligned under their columns. It sits under the data rows and follows the
// column widths and the horizontal scrolling of the grid.
class GridFooter : public QWidget {
public:
    explicit GridFooter(DataGrid *grid) : QWidget(grid), grid_(grid) {
        setFont(pixelFont(QStringLiteral("宋体"), 15, true));
    }
    int rowHeight() const { return fontMetrics().height() + 4; }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.fillRect(rect(), footerColour);
        const QColor line = grid_->palette().color(QPalette::Mid);
        p.setPen(line);
        p.drawLine(0, 0, width() - 1, 0);
        const QHeaderView *titles = grid_->horizontalHeader();
        const QVector<GridColumn> &columns = grid_->columns();
        for (int c = 0; c < columns.size(); ++c) {
            if (titles->isSectionHidden(c))
                continue;
            const QRect cell(titles->sectionViewportPosition(c), 1, titles->sectionSize(c),
                             height() - 1);
            p.setPen(line);
            p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
            const QString text = grid_->footerText(c);
            if (text.isEmpty())
                continue;
            const Qt::Alignment align =
                columns[c].field.isEmpty() ? Qt::AlignHCenter : Qt::AlignLeft;
            p.setPen(Qt::black);
            p.drawText(cell.adjusted(2, 0, -2, 0), align | Qt::AlignVCenter | Qt::TextSingleLine,
                       text);
        }
    }

private:
    DataGrid *grid_;
};

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent), model_(new QueryModel(this)), footer_(new GridFooter(this)),
      rowNumbers_(new RowNumberDelegate(this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    setSortingEnabled(false);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    // Title buttons: a click shows (and turns) the sort mark; the rows keep their order.
    QHeaderView *titles = horizontalHeader();
    titles->setFont(pixelFont(QStringLiteral("宋体"), 15, true));
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setFixedHeight(18);
    titles->setSectionsClickable(true);
    titles->setSortIndicatorShown(true);
    titles->setSortIndicator(-1, Qt::AscendingOrder);
    titles->setHighlightSections(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setStretchLastSection(true);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, rowColour);
    colours.setColor(QPalette::AlternateBase, rowColour);
    setPalette(colours);
    setDataFont(pixelFont(QStringLiteral("宋体"), 15));

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &) { viewRowChanged(current); });
    connect(titles, &QHeaderView::sectionResized, footer_, qOverload<>(&QWidget::update));
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, footer_,
            qOverload<>(&QWidget::update));
    footer_->hide();
}

DataGrid::~DataGrid() = default;

Query *DataGrid::query() const {
    return query_;
}

const QVector<GridColumn> &DataGrid::columns() const {
    return model_->columns();
}

void DataGrid::setDataFont(const QFont &font) {
    setFont(font);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 3);
}

void DataGrid::setQuery(Query *query) {
    if (query_)
        disconnect(query_, nullptr, this, nullptr);
    query_ = query;
    {
        QScopedValueRollback guard(syncing_, true);
        model_->setQuery(query);
    }
    rebuildSums();
    if (query) {
        connect(query, &Query::resultReset, this, &DataGrid::resultReset);
        connect(query, &Query::rowInserted, this, &DataGrid::rowInserted);
        connect(query, &Query::rowChanged, this, &DataGrid::rowChanged);
        connect(query, &Query::rowRemoved, this, &DataGrid::rowRemoved);
        connect(query, &Query::currentChanged, this, &DataGrid::currentChanged);
        connect(query, &QObject::destroyed, this, [this] {
            QScopedValueRollback guard(syncing_, true);
            model_->setQuery(nullptr);
            rebuildSums();
            footer_->update();
        });
    }
    load();
}

void DataGrid::setColumns(const QVector<GridColumn> &columns) {
    const int before = int(model_->columns().size());
    {
        QScopedValueRollback guard(syncing_, true);
        model_->setColumns(columns);
    }
    for (int c = 0; c < std::max(before, int(columns.size())); ++c)
        setItemDelegateForColumn(c, c < columns.size() && columns[c].field.isEmpty() ? rowNumbers_
                                                                                     : nullptr);
    for (int c = 0; c < columns.size(); ++c)
        setColumnWidth(c, columns[c].width);
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setupSums();
    rebuildSums();
    showRow(currentRow());
    footer_->update();
}

void DataGrid::setFooterVisible(bool visible) {
    footerVisible_ = visible;
    updateGeometries();
    footer_->update();
}

long double DataGrid::footerSum(const QString &field) const {
    const QVector<GridColumn> &columns = model_->columns();
    for (const Sum &s : sums_) {
        if (columns[s.column].field.compare(field, Qt::CaseInsensitive) == 0)
            return s.sum.value();
    }
    return 0;
}

QString DataGrid::footerText(int column) const {
    const QVector<GridColumn> &columns = model_->columns();
    if (column < 0 || column >= columns.size())
        return {};
    if (columns[column].field.isEmpty())
        return QStringLiteral("合计");
    if (!model_->isLoaded())
        return {};
    for (const Sum &s : sums_) {
        if (s.column == column)
            return formatFloat(QStringLiteral("#0.##"), s.sum.value());
    }
    return {};
}

void DataGrid::updateGeometries() {
    // The table lays out its titles and rows with viewport margins of its own; keep a
    // bottom margin for the footer and put the footer into it. Setting the margin
    // resizes the viewport, which comes back here while the table is still laying
    // out, so the scroll ranges are computed for the smaller viewport.
    QTableView::updateGeometries();
    const int height = footerVisible_ ? footer_->rowHeight() : 0;
    QMargins margins = viewportMargins();
    if (margins.bottom() != height) {
        margins.setBottom(height);
        setViewportMargins(margins);
    }
    const QRect area = viewport()->geometry();
    footer_->setGeometry(area.left(), area.bottom() + 1, area.width(), height);
    footer_->setVisible(footerVisible_);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    QTableView::mouseDoubleClickEvent(event);
    emit gridDoubleClicked();
}

int DataGrid::currentRow() const {
    if (!model_->isLoaded() || !query_)
        return -1;
    return query_->recNo() - 1;
}

void DataGrid::resultReset() {
    if (std::uncaught_exceptions() > 0) {
        // A failing handler is unwinding (a rolled-back write reads its rows again):
        // no read may fail now. Show nothing and read the rows once it has ended.
        {
            QScopedValueRollback guard(syncing_, true);
            model_->clear();
        }
        rebuildSums();
        footer_->update();
        QTimer::singleShot(0, this, [this] {
            if (!model_->isLoaded())
                runHandler(this, [this] { load(); });
        });
        return;
    }
    load();
}

void DataGrid::load() {
    {
        QScopedValueRollback guard(syncing_, true);
        model_->clear();
        rebuildSums();
        model_->load();
    }
    rebuildSums();
    showRow(currentRow());
    footer_->update();
}

void DataGrid::rowInserted(int row) {
    if (!model_->isLoaded())
        return;
    {
        QScopedValueRollback guard(syncing_, true);
        model_->rowInserted(row);
    }
    for (Sum &s : sums_) {
        if (const std::optional<double> v = sumValue(s, row))
            s.sum.add(*v);
    }
    footer_->update();
}

void DataGrid::rowChanged(int row) {
    if (!model_->isLoaded())
        return;
    model_->rowChanged(row);
    if (row == sumsRow_) {
        for (Sum &s : sums_) {
            if (s.current)
                s.sum.remove(*s.current);
            s.current = sumValue(s, row);
            if (s.current)
                s.sum.add(*s.current);
        }
    } else {
        // The query posts only its current row, whose values are kept; any other
        // row costs one pass over the list.
        rebuildSums();
    }
    footer_->update();
}

void DataGrid::rowRemoved(int row) {
    if (!model_->isLoaded())
        return;
    {
        QScopedValueRollback guard(syncing_, true);
        model_->rowRemoved(row);
    }
    if (row == sumsRow_) {
        for (Sum &s : sums_) {
            if (s.current)
                s.sum.remove(*s.current);
            s.current.reset();
        }
        sumsRow_ = -1;
    } else {
        rebuildSums();
    }
    footer_->update();
}

void DataGrid::currentChanged(int row) {
    if (!model_->isLoaded())
        return;
    rememberCurrentRow(row);
    showRow(row);
}

void DataGrid::viewRowChanged(const QModelIndex &current) {
    if (syncing_ || !current.isValid() || !query_ || !model_->isLoaded())
        return;
    query_->moveTo(current.row());
}

void DataGrid::showRow(int row) {
    QScopedValueRollback guard(syncing_, true);
    QItemSelectionModel *selection = selectionModel();
    if (row < 0 || row >= model_->rowCount()) {
        selection->clear();
        return;
    }
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && current.row() == row && selection->isRowSelected(row))
        return;
    // Keep the column so that the grid does not scroll sideways.
    const int column = current.isValid() ? current.column() : 0;
    selection->setCurrentIndex(model_->index(row, column),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void DataGrid::setupSums() {
    sums_.clear();
    const QVector<GridColumn> &columns = model_->columns();
    for (int c = 0; c < columns.size(); ++c) {
        if (columns[c].sum && !columns[c].field.isEmpty()) {
            Sum s;
            s.column = c;
            sums_.push_back(s);
        }
    }
}

void DataGrid::rebuildSums() {
    for (Sum &s : sums_) {
        s.field = model_->fieldIndex(s.column);
        s.sum.clear();
        s.current.reset();
    }
    sumsRow_ = -1;
    if (!model_->isLoaded() || sums_.isEmpty())
        return;
    const int rows = model_->rowCount();
    for (Sum &s : sums_) {
        if (s.field < 0)
            continue;
        for (int r = 0; r < rows; ++r) {
            if (const std::optional<double> v = query_->number(r, s.field))
                s.sum.add(*v);
        }
    }
    rememberCurrentRow(currentRow());
}

void DataGrid::rememberCurrentRow(int row) {
    const bool valid = row >= 0 && row < model_->rowCount();
    sumsRow_ = valid ? row : -1;
    for (Sum &s : sums_)
        s.current = valid ? sumValue(s, row) : std::nullopt;
}

std::optional<double> DataGrid::sumValue(const Sum &s, int row) const {
    if (s.field < 0 || !query_)
        return std::nullopt;
    return query_->number(row, s.field);
}
