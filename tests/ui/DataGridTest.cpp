#include "DataGrid.h"
#include "Database.h"
#include "Fonts.h"
#include "TestEnv.h"

#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

// The receipts grid: row numbers, texts, and three summed number columns.
QVector<GridColumn> receiptColumns() {
    return {
        {QStringLiteral("序号"), QString(), 50},
        {QStringLiteral("单号"), QStringLiteral("单号"), 90},
        {QStringLiteral("时间"), QStringLiteral("时间"), 155},
        {QStringLiteral("数量"), QStringLiteral("数量"), 60, GridColumn::Number, true},
        {QStringLiteral("金额"), QStringLiteral("金额"), 100, GridColumn::Number, true},
        {QStringLiteral("折后"), QStringLiteral("折后"), 100, GridColumn::Number, true},
        {QStringLiteral("收银员"), QStringLiteral("收银员"), 90},
    };
}

enum Col { Number = 0, Receipt = 1, Quantity = 3, Amount = 4, Discounted = 5 };

class DataGridTest : public StoreTest {
protected:
    void TearDown() override {
        grid.reset();
        query.reset();
        connection.reset();
        StoreTest::TearDown();
    }

    // Opens "select * from xstj" (or the given SQL) and binds a receipts grid to it.
    void bind(const QString &text = QStringLiteral("select * from xstj")) {
        connection = std::make_unique<Connection>();
        query = std::make_unique<Query>(*connection);
        query->setSql(text);
        query->open();
        grid = std::make_unique<DataGrid>();
        grid->setColumns(receiptColumns());
        grid->setQuery(query.get());
    }

    void show(int width = 600, int height = 300) {
        grid->resize(width, height);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }

    void addReceipts(const QStringList &numbers) {
        for (const QString &n : numbers)
            sql(QStringLiteral("INSERT INTO xstj (单号, 收银员) VALUES ('%1', 'admin')").arg(n));
    }

    void addAmounts(const QStringList &amounts) {
        int i = 0;
        for (const QString &a : amounts)
            sql(QStringLiteral("INSERT INTO xstj (单号, 金额) VALUES ('%1', %2)").arg(++i).arg(a));
    }

    QString cell(int row, int column) const {
        return grid->model()->data(grid->model()->index(row, column)).toString();
    }

    QStringList columnTexts(int column) const {
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << cell(r, column);
        return out;
    }

    void clickRow(int row) {
        const QRect r = grid->visualRect(grid->model()->index(row, Receipt));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }

    void clickTitle(int column) {
        QHeaderView *titles = grid->horizontalHeader();
        const QPoint at(titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2,
                        titles->height() / 2);
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, at);
    }

    std::unique_ptr<Connection> connection;
    std::unique_ptr<Query> query;
    std::unique_ptr<DataGrid> grid;
};

TEST_F(DataGridTest, RowNumbersStayConsecutiveAfterDeletes) {
    addReceipts({"A", "B", "C", "D", "E"});
    bind();
    EXPECT_EQ(columnTexts(Number), QStringList({"1", "2", "3", "4", "5"}));

    query->moveTo(1);
    query->remove();
    query->moveTo(2);
    query->remove();

    EXPECT_EQ(columnTexts(Receipt), QStringList({"A", "C", "E"}));
    EXPECT_EQ(columnTexts(Number), QStringList({"1", "2", "3"}));
    // The row after the deleted one is current, in the query and in the grid.
    EXPECT_EQ(query->fieldText(QStringLiteral("单号")), "E");
    EXPECT_EQ(grid->currentIndex().row(), 2);
}

TEST_F(DataGridTest, NumberColumnsShowTwoDecimalsLeftAligned) {
    struct Case {
        const char *stored;
        QString shown;
    };
    const Case cases[] = {
        {"31.875", "31.88"}, {"12.5", "12.5"},  {"3", "3"},     {"NULL", ""},
        {"-2.5", "-2.5"},    {"0.125", "0.13"}, {"100", "100"},
    };
    for (const Case &c : cases)
        sql(QStringLiteral("INSERT INTO xstj (单号, 数量) VALUES ('0012', %1)").arg(c.stored));
    bind();
    for (int r = 0; r < int(std::size(cases)); ++r) {
        EXPECT_EQ(cell(r, Quantity), cases[r].shown) << cases[r].stored;
        const auto align = grid->model()->index(r, Quantity).data(Qt::TextAlignmentRole);
        EXPECT_TRUE(align.value<Qt::Alignment>() & Qt::AlignLeft) << cases[r].stored;
    }
    // Text columns show the stored text as it is.
    EXPECT_EQ(cell(0, Receipt), "0012");
}

TEST_F(DataGridTest, TitleClickShowsSortMarkWithoutSorting) {
    addReceipts({"C", "A", "B"});
    bind();
    show();
    QHeaderView *titles = grid->horizontalHeader();
    EXPECT_EQ(titles->sortIndicatorSection(), -1);

    clickTitle(Receipt);
    EXPECT_EQ(titles->sortIndicatorSection(), Receipt);
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(columnTexts(Receipt), QStringList({"C", "A", "B"}));

    clickTitle(Receipt);
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(columnTexts(Receipt), QStringList({"C", "A", "B"}));

    clickTitle(Amount);
    EXPECT_EQ(titles->sortIndicatorSection(), Amount);
    EXPECT_EQ(columnTexts(Receipt), QStringList({"C", "A", "B"}));
    EXPECT_EQ(query->fieldText(QStringLiteral("单号")), "C");
}

TEST_F(DataGridTest, ClickAndKeysMoveTheQuerysCurrentRow) {
    addReceipts({"A", "B", "C", "D"});
    bind();
    show();
    QString seenByHandler;
    QObject::connect(grid.get(), &QAbstractItemView::clicked, grid.get(),
                     [&] { seenByHandler = query->fieldText(QStringLiteral("单号")); });

    clickRow(2);
    EXPECT_EQ(query->recNo(), 3);
    EXPECT_EQ(seenByHandler, "C");

    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(query->fieldText(QStringLiteral("单号")), "D");
    QTest::keyClick(grid.get(), Qt::Key_Up);
    QTest::keyClick(grid.get(), Qt::Key_Up);
    EXPECT_EQ(query->fieldText(QStringLiteral("单号")), "B");

    // The grid deletes nothing by itself.
    QTest::keyClick(grid.get(), Qt::Key_Delete);
    QTest::keyClick(grid.get(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(column(QStringLiteral("SELECT 单号 FROM xstj")), QStringList({"A", "B", "C", "D"}));
}

TEST_F(DataGridTest, QueryMovesSelectTheRow) {
    addReceipts({"A", "B", "C", "D"});
    bind();
    show();
    EXPECT_EQ(grid->currentIndex().row(), 0);

    query->moveTo(3);
    EXPECT_EQ(grid->currentIndex().row(), 3);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(3));
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 1);

    query->append();
    query->setField(QStringLiteral("单号"), QStringLiteral("E"));
    query->post();
    EXPECT_EQ(grid->model()->rowCount(), 5);
    EXPECT_EQ(cell(4, Receipt), "E");
    EXPECT_EQ(cell(4, Number), "5");
    EXPECT_EQ(grid->currentIndex().row(), 4);
    EXPECT_EQ(query->recNo(), 5);
}

TEST_F(DataGridTest, FooterSumsInFixedPoint) {
    // Each value counts as 17 ten-thousandths: the sum is 0.0051 and shows as 0.01,
    // where summing the doubles would give 0.00498 and show 0.
    addAmounts({"0.00166", "0.00166", "0.00166", "NULL"});
    bind();
    grid->setFooterVisible(true);
    EXPECT_EQ(grid->footerSum(QStringLiteral("金额")), 51 / 10000.0L);
    EXPECT_EQ(grid->footerText(Amount), "0.01");
    EXPECT_EQ(grid->footerText(Number), "合计");
    EXPECT_EQ(grid->footerText(Receipt), "");
    EXPECT_EQ(grid->footerText(Quantity), "0");
}

TEST_F(DataGridTest, FooterFollowsPostsAndDeletes) {
    addAmounts({"10.5", "20.25", "NULL"});
    bind();
    EXPECT_EQ(grid->footerSum(QStringLiteral("金额")), 30.75L);

    query->append();
    query->setField(QStringLiteral("金额"), QStringLiteral("1.125"));
    query->post();
    EXPECT_EQ(grid->footerSum(QStringLiteral("金额")), 31.875L);
    EXPECT_EQ(grid->footerText(Amount), "31.88");

    query->edit();
    query->setField(QStringLiteral("金额"), QStringLiteral("0.00005"));
    query->post();
    query->moveTo(2);
    query->edit();
    query->setField(QStringLiteral("金额"), QStringLiteral("7"));
    query->post();
    query->moveTo(0);
    query->remove();

    // The sums kept by difference equal the sums of a grid that reads the rows anew.
    DataGrid fresh;
    fresh.setColumns(receiptColumns());
    Query again(*connection);
    again.setSql(QStringLiteral("select * from xstj"));
    again.open();
    fresh.setQuery(&again);
    for (const QString &field : {QStringLiteral("数量"), QStringLiteral("金额")})
        EXPECT_EQ(grid->footerSum(field), fresh.footerSum(field)) << field.toStdString();
    // 0.00005 counts as one ten-thousandth.
    EXPECT_EQ(grid->footerSum(QStringLiteral("金额")), 272501 / 10000.0L);
}

TEST_F(DataGridTest, EmptyListAndClosedQuery) {
    addAmounts({"4.5"});
    bind(QStringLiteral("select * from xstj where 收银员 like \"%nobody%\""));
    grid->setFooterVisible(true);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(grid->footerText(Number), "合计");
    EXPECT_EQ(grid->footerText(Amount), "0");

    query->close();
    EXPECT_EQ(grid->footerText(Amount), "");

    query->setSql(QStringLiteral("select * from xstj"));
    query->open();
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->footerText(Amount), "4.5");
    EXPECT_EQ(grid->currentIndex().row(), 0);
}

TEST_F(DataGridTest, RolledBackWriteIsReadAgainAfterTheFailure) {
    addReceipts({"A", "B"});
    bind();
    try {
        Transaction transaction(*connection);
        query->append();
        query->setField(QStringLiteral("单号"), QStringLiteral("C"));
        query->post();
        EXPECT_EQ(grid->model()->rowCount(), 3);
        throw StoreError(QStringLiteral("failed"));
    } catch (const StoreError &) {
    }
    // The rows are read again once the failing step is over.
    QCoreApplication::processEvents();
    EXPECT_EQ(columnTexts(Receipt), QStringList({"A", "B"}));
    EXPECT_EQ(grid->currentIndex().row(), 0);
}

TEST_F(DataGridTest, DoubleClickOnAnEmptyGridIsReported) {
    bind();
    show();
    QSignalSpy spy(grid.get(), &DataGrid::gridDoubleClicked);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(DataGridTest, RowNumberIsWrittenAtTheCellsTopLeft) {
    addReceipts({"A", "B", "C"});
    bind();
    show();
    // Row 1 is not selected: its cell has the row colour around the number.
    const QRect r = grid->visualRect(grid->model()->index(1, Number));
    const QImage image = grid->viewport()->grab().toImage();
    const QRgb background = qRgb(238, 238, 238);
    bool ink = false;
    for (int y = r.top(); y < r.top() + r.height() - 1; ++y) {
        for (int x = r.left(); x < r.left() + r.width() - 1; ++x) {
            const bool blank = image.pixel(x, y) == background;
            if (x < r.left() + 3 || y < r.top() + 2)
                EXPECT_TRUE(blank) << x << "," << y;
            else
                ink = ink || !blank;
        }
    }
    EXPECT_TRUE(ink);
}

TEST_F(DataGridTest, FooterSitsUnderTheRows) {
    QStringList numbers;
    for (int i = 0; i < 40; ++i)
        numbers << QString::number(i);
    addReceipts(numbers);
    bind();
    show(600, 250);
    const int without = grid->viewport()->height();
    grid->setFooterVisible(true);
    const int with = grid->viewport()->height();
    EXPECT_LT(with, without);

    grid->scrollToBottom();
    const QRect last = grid->visualRect(grid->model()->index(39, Number));
    EXPECT_LE(last.bottom(), grid->viewport()->height());

    const QImage image = grid->grab().toImage();
    const QRect area = grid->viewport()->geometry();
    EXPECT_EQ(image.pixel(area.left() + 5, area.bottom() + 4), qRgb(255, 255, 0));
}

TEST_F(DataGridTest, LargeListReadsOnlyTheCellsShown) {
    sql(QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                       "WHERE x < 200000) INSERT INTO xstj (单号, 数量) SELECT x, x FROM n"));
    bind();
    show(600, 300);
    grid->viewport()->repaint();
    const qint64 top = grid->queryModel()->cellReads();
    EXPECT_GT(top, 0);
    EXPECT_LT(top, 2000);

    grid->scrollToBottom();
    grid->viewport()->repaint();
    EXPECT_LT(grid->queryModel()->cellReads(), 4000);
    EXPECT_EQ(cell(199999, Number), "200000");
    EXPECT_EQ(cell(199999, Receipt), "200000");
    EXPECT_EQ(grid->footerSum(QStringLiteral("数量")), 20000100000.0L);
}

} // namespace
