#include "RecordsFixture.h"

#include "Conventions.h"
#include "DataGrid.h"
#include "Forms.h"
#include "MainUnit.h"
#include "Permissions.h"
#include "XscxUnit.h"
#include "XsmxUnit.h"
#include "XstjUnit.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

namespace {

// Types a text into a box key by key, as a user would (Chinese included).
void typeInto(QWidget *box, const QString &text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

QStringList comboItems(const QComboBox *box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Four receipts, stored in this (natural) order; by time the last comes first.
class Statistics : public RecordsTest {
protected:
    void SetUp() override {
        RecordsTest::SetUp();
        receipt("20240102090000", "2024-01-02 09:00:00", 3, 30, 27, "张三丰");
        receipt("20240101150000", "2024-01-01 15:00:00", 2, 12.5, 12.5, "张三");
        receipt("20240101083000", "2024-01-01 08:30:00", 1.5, 7.25, 7, "admin");
        receipt("X%_1", "2023-12-31 23:59:59", 1, 1, 1, "王\"五");
        line("20240102090000", "可乐", 3, 10, 30, 27);
        line("20240101150000", "薯片", 5, 1, 5, 5, "王女士", "13800000000");
        line("20240101150000", "可乐", 3.75, 2, 7.5, 7.5);
        line("20240101083000", "面包", 7.25, 1, 7.25, 7);
        line("X%_1", "饼干", 1, 1, 1, 1);
    }

    const QStringList byTime =
        texts({"X%_1", "20240101083000", "20240101150000", "20240102090000"});
    const QStringList stored =
        texts({"20240102090000", "20240101150000", "20240101083000", "X%_1"});

    // The three footer sums of the statistics grid.
    std::vector<long double> sums() const {
        return {grid()->footerSum("数量"), grid()->footerSum("金额"), grid()->footerSum("折后")};
    }

    // Opens the query window from the statistics window, types the criteria, clicks
    // 查询 and tells whether the query window stayed open.
    bool query(const QString &number, const QString &cashier) {
        bool open = false;
        EXPECT_TRUE(
            whileModal([&] { QTest::mouseClick(statistics()->SpeedButton1, Qt::LeftButton); },
                       [&](QWidget *modal) {
                           TXscxForm *window = forms().xscx;
                           EXPECT_EQ(modal, window);
                           EXPECT_EQ(window->ComboBox1->currentText(), "");
                           EXPECT_EQ(window->ComboBox2->currentText(), "");
                           typeInto(window->ComboBox1->lineEdit(), number);
                           typeInto(window->ComboBox2->lineEdit(), cashier);
                           QTest::mouseClick(window->SpeedButton1, Qt::LeftButton);
                           open = window->isVisible();
                       }));
        return open;
    }

    QStringList lines() { return column("SELECT 品名 FROM xsmx ORDER BY rowid"); }
    void checkDelete(const std::function<void()> &trigger);

    // Shows the statistics window (not modally) so that its grid can be clicked.
    void showStatistics() {
        statistics()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(statistics()));
    }

    // Double-clicks a row of the statistics grid (or, with -1, its empty area) and
    // returns the detail window's title, the goods names it lists and its footer sums.
    struct Details {
        QString title;
        QStringList goods;
        std::vector<long double> sums;
        QString sumTitle;
    };
    Details openDetails(int row) {
        DataGrid *g = grid();
        const QPoint at = row >= 0 ? g->visualRect(g->model()->index(row, 1)).center()
                                   : QPoint(20, g->viewport()->height() - 5);
        Details d;
        EXPECT_TRUE(whileModal([&] { QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, at); },
                               [&](QWidget *modal) {
                                   TXsmxForm *detail = forms().xsmx;
                                   EXPECT_EQ(modal, detail);
                                   d.title = detail->windowTitle();
                                   d.goods = shown(detail->DBGridEh1, 3);
                                   DataGrid *lines = detail->DBGridEh1;
                                   d.sums = {lines->footerSum("数量"), lines->footerSum("金额"),
                                             lines->footerSum("折后")};
                                   d.sumTitle = lines->footerText(0);
                               }));
        return d;
    }
};

TEST_F(Statistics, GridShowsTheReceiptColumnsWithRowNumbersAndSums) {
    loadByTime();
    DataGrid *g = grid();
    const QAbstractItemModel *m = g->model();
    QStringList titles;
    QList<int> widths;
    for (int c = 0; c < m->columnCount(); ++c) {
        titles << m->headerData(c, Qt::Horizontal).toString();
        widths << g->columnWidth(c);
    }
    EXPECT_EQ(titles, texts({"序号", "单号", "时间", "数量", "金额", "折后", "收银员"}));
    EXPECT_EQ(widths.mid(0, 6), (QList<int>{50, 90, 155, 60, 100, 100}));
    EXPECT_EQ(shown(g, 0), texts({"1", "2", "3", "4"}));
    EXPECT_EQ(shown(g, 2), texts({"2023-12-31 23:59:59", "2024-01-01 08:30:00",
                                  "2024-01-01 15:00:00", "2024-01-02 09:00:00"}));
    EXPECT_EQ(shown(g, 4), texts({"1", "7.25", "12.5", "30"}));
    EXPECT_EQ(shown(g, 6), texts({"王\"五", "admin", "张三", "张三丰"}));
    EXPECT_EQ(sums(), (std::vector<long double>{7.5L, 50.75L, 47.5L}));
    EXPECT_EQ(g->footerText(0), "合计");
    EXPECT_EQ(g->footerText(4), "50.75");
    EXPECT_TRUE(g->isFooterVisible());
    EXPECT_EQ(g->toolTip(), "双击查看销售明细！");
    EXPECT_FALSE(statistics()->Edit1->isVisibleTo(statistics()));
}

TEST_F(Statistics, StatisticsButtonListsOldestFirstAndRefreshInStoredOrder) {
    TMainForm *main = forms().main;
    QStringList listedOnOpening;
    ASSERT_TRUE(whileModal([&] { QTest::mouseClick(main->SpeedButton7, Qt::LeftButton); },
                           [&](QWidget *modal) {
                               EXPECT_EQ(modal, statistics());
                               listedOnOpening = listed();
                           }));
    EXPECT_EQ(listedOnOpening, byTime);

    // Receipts printed meanwhile show after Refresh, in the store's order.
    receipt("20240103100000", "2024-01-03 10:00:00", 1, 2, 2, "admin");
    EXPECT_EQ(listed(), byTime);
    QTest::mouseClick(statistics()->SpeedButton3, Qt::LeftButton);
    EXPECT_EQ(listed(), stored + texts({"20240103100000"}));
    EXPECT_EQ(sums(), (std::vector<long double>{8.5L, 52.75L, 49.5L}));
}

TEST_F(Statistics, RefreshAfterAQueryListsEveryReceiptAgain) {
    for (QAction *refresh : {static_cast<QAction *>(nullptr), statistics()->N2}) {
        loadByTime();
        EXPECT_FALSE(query("", "admin"));
        EXPECT_EQ(listed(), texts({"20240101083000"}));
        if (refresh)
            refresh->trigger();
        else
            QTest::mouseClick(statistics()->SpeedButton3, Qt::LeftButton);
        EXPECT_EQ(listed(), stored);
    }
    EXPECT_TRUE(boxes.empty());
}

struct QueryCase {
    const char *number;
    const char *cashier;
    std::vector<const char *> listed; // empty with `unchanged`: the list as before
    bool unchanged;
    const char *message; // nullptr: no message
};

TEST_F(Statistics, QueryNarrowsByWhicheverBoxIsFilled) {
    const QueryCase cases[] = {
        // A date lists the receipts of that day, in the store's order.
        {"20240101", "", {"20240101150000", "20240101083000"}, false, nullptr},
        {"", "张三", {"20240102090000", "20240101150000"}, false, nullptr},
        {"", "admin", {"20240101083000"}, false, nullptr},
        {"", "nobody", {}, false, nullptr},
        // Spaces are text: the box counts as filled.
        {" ", "", {}, false, nullptr},
        // "%", "_" and a double quote are ordinary characters.
        {"%", "", {"X%_1"}, false, nullptr},
        {"_", "", {"X%_1"}, false, nullptr},
        {"2024_101", "", {}, false, nullptr},
        {"", "\"", {"X%_1"}, false, nullptr},
        {"", "", {}, true, "查询信息不能为空！"},
        {"2024", "张三", {}, true, nullptr},
    };
    for (const QueryCase &c : cases) {
        SCOPED_TRACE(std::string(c.number) + " / " + c.cashier);
        loadByTime();
        clearBoxes();
        const bool open = query(QString::fromUtf8(c.number), QString::fromUtf8(c.cashier));
        EXPECT_EQ(open, c.unchanged);
        QStringList expected;
        for (const char *n : c.listed)
            expected << QString::fromUtf8(n);
        EXPECT_EQ(listed(), c.unchanged ? byTime : expected);
        if (c.message) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, QString::fromUtf8(c.message));
            EXPECT_EQ(boxes[0].caption, "提示");
            EXPECT_EQ(boxes[0].icon, Messages::Icon::Warning);
            EXPECT_EQ(boxes[0].buttons, Messages::Buttons::Ok);
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
    // A query that matched nothing leaves empty sums.
    loadByTime();
    query("", "nobody");
    EXPECT_EQ(sums(), (std::vector<long double>{0, 0, 0}));
}

TEST_F(Statistics, QueryWindowOffersNumbersAndUsersWithEmptyBoxes) {
    receipt("20240101083000", "2024-01-01 08:30:00", 1, 1, 1, "admin"); // same number again
    sql("INSERT INTO username VALUES ('张三', '', '普通用户'), ('张三', '', '普通用户')");
    loadByTime();
    const QStringList before = listed();
    QStringList numbers, users;
    for (int opening = 0; opening < 2; ++opening) {
        EXPECT_TRUE(whileModal([&] { statistics()->N1->trigger(); },
                               [&](QWidget *) {
                                   TXscxForm *w = forms().xscx;
                                   EXPECT_EQ(w->ComboBox1->currentText(), "");
                                   EXPECT_EQ(w->ComboBox2->currentText(), "");
                                   numbers = comboItems(w->ComboBox1);
                                   users = comboItems(w->ComboBox2);
                                   // Typed and left with 退出: the next opening starts empty again.
                                   typeInto(w->ComboBox1->lineEdit(), "2024");
                                   typeInto(w->ComboBox2->lineEdit(), "张");
                                   QTest::mouseClick(w->SpeedButton2, Qt::LeftButton);
                                   EXPECT_FALSE(w->isVisible());
                               }));
        numbers.sort();
        users.sort();
        EXPECT_EQ(numbers, texts({"20240101083000", "20240101150000", "20240102090000", "X%_1"}));
        EXPECT_EQ(users, texts({"admin", "张三"}));
        EXPECT_EQ(listed(), before); // 退出 leaves the list as it was
    }
    // Picking a number from the list queries by it.
    EXPECT_TRUE(whileModal([&] { statistics()->N1->trigger(); },
                           [&](QWidget *) {
                               TXscxForm *w = forms().xscx;
                               w->ComboBox1->setCurrentIndex(
                                   w->ComboBox1->findText("20240101150000"));
                               QTest::mouseClick(w->SpeedButton1, Qt::LeftButton);
                           }));
    EXPECT_EQ(listed(), texts({"20240101150000"}));
}

TEST_F(Statistics, LeavingTheQueryWindowKeepsTheList) {
    loadByTime();
    statistics()->ADOQuery1.moveTo(2);
    // 退出, then the title bar's close.
    for (int way = 0; way < 2; ++way) {
        EXPECT_TRUE(
            whileModal([&] { QTest::mouseClick(statistics()->SpeedButton1, Qt::LeftButton); },
                       [&](QWidget *modal) {
                           TXscxForm *w = forms().xscx;
                           typeInto(w->ComboBox2->lineEdit(), "admin");
                           if (way == 0)
                               QTest::mouseClick(w->SpeedButton2, Qt::LeftButton);
                           else
                               modal->close();
                           EXPECT_FALSE(w->isVisible());
                       }));
        EXPECT_EQ(listed(), byTime);
        EXPECT_EQ(statistics()->ADOQuery1.recNo(), 3);
    }
    EXPECT_TRUE(boxes.empty());
}

// Deleting the current receipt by the button or by the menu item: asked first,
// Cancel changes nothing, OK removes the receipt and exactly its lines.
void Statistics::checkDelete(const std::function<void()> &trigger) {
    loadByTime();
    statistics()->ADOQuery1.moveTo(2); // 20240101150000
    const QStringList linesBefore = lines();

    answers = {false};
    trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "确定要删除选中的销售信息？");
    EXPECT_EQ(boxes[0].caption, "提示");
    EXPECT_EQ(boxes[0].icon, Messages::Icon::Warning);
    EXPECT_EQ(boxes[0].buttons, Messages::Buttons::OkCancel);
    EXPECT_EQ(listed(), byTime);
    EXPECT_EQ(lines(), linesBefore);
    EXPECT_EQ(sums(), (std::vector<long double>{7.5L, 50.75L, 47.5L}));

    trigger();
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(listed(), texts({"X%_1", "20240101083000", "20240102090000"}));
    EXPECT_EQ(column("SELECT 单号 FROM xstj ORDER BY rowid"),
              texts({"20240102090000", "20240101083000", "X%_1"}));
    EXPECT_EQ(column("SELECT 单号 FROM xsmx ORDER BY rowid"),
              texts({"20240102090000", "20240101083000", "X%_1"}));
    EXPECT_EQ(sums(), (std::vector<long double>{5.5L, 38.25L, 35}));
}

TEST_F(Statistics, DeleteButtonAsksThenRemovesTheReceiptAndItsLines) {
    checkDelete([this] { QTest::mouseClick(statistics()->SpeedButton4, Qt::LeftButton); });
}

TEST_F(Statistics, DeleteMenuItemAsksThenRemovesTheReceiptAndItsLines) {
    checkDelete([this] { statistics()->N6->trigger(); });
}

TEST_F(Statistics, LinesStayWhileAnotherReceiptCarriesTheNumber) {
    receipt("20240101150000", "2024-01-01 15:30:00", 1, 1, 1, "张三");
    loadByTime();
    statistics()->ADOQuery1.moveTo(2);
    ASSERT_EQ(statistics()->ADOQuery1.fieldText("时间"), "2024-01-01 15:00:00");
    QTest::mouseClick(statistics()->SpeedButton4, Qt::LeftButton);
    EXPECT_EQ(column("SELECT 时间 FROM xstj WHERE 单号 = '20240101150000'"),
              texts({"2024-01-01 15:30:00"}));
    EXPECT_EQ(column("SELECT 品名 FROM xsmx WHERE 单号 = '20240101150000'"),
              texts({"薯片", "可乐"}));

    // The last receipt of the number takes its lines along.
    ASSERT_EQ(statistics()->ADOQuery1.fieldText("时间"), "2024-01-01 15:30:00");
    QTest::mouseClick(statistics()->SpeedButton4, Qt::LeftButton);
    EXPECT_EQ(column("SELECT count(*) FROM xsmx WHERE 单号 = '20240101150000'"), texts({"0"}));
    EXPECT_EQ(column("SELECT count(*) FROM xsmx"), texts({"3"}));
}

TEST_F(Statistics, DeleteWithAnEmptyListAsksNothingAndKeepsEveryLine) {
    loadByTime();
    query("", "nobody");
    ASSERT_TRUE(listed().isEmpty());
    QTest::mouseClick(statistics()->SpeedButton4, Qt::LeftButton);
    statistics()->N6->trigger();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), texts({"4"}));
    EXPECT_EQ(column("SELECT count(*) FROM xsmx"), texts({"5"}));
}

TEST_F(Statistics, OrdinaryUserCannotDelete) {
    loadByTime();
    applyPermission(QString::fromUtf8(kOrdinaryUser));
    EXPECT_FALSE(statistics()->SpeedButton4->isEnabled());
    EXPECT_FALSE(statistics()->N6->isEnabled());
    QTest::mouseClick(statistics()->SpeedButton4, Qt::LeftButton);
    statistics()->N6->trigger();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), texts({"4"}));

    applyPermission(QString::fromUtf8(kAdministrator));
    statistics()->N6->trigger();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), texts({"3"}));
}

TEST_F(Statistics, AFailedDeleteKeepsTheReceiptAndItsLines) {
    sql("CREATE TRIGGER keep_lines BEFORE DELETE ON xsmx BEGIN "
        "SELECT RAISE(ABORT, 'lines are locked'); END");
    loadByTime();
    statistics()->ADOQuery1.moveTo(2);
    QTest::mouseClick(statistics()->SpeedButton4, Qt::LeftButton);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[1].isError);
    EXPECT_EQ(boxes[1].text, "lines are locked.");
    QCoreApplication::processEvents(); // the grid reads the list again
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), texts({"4"}));
    EXPECT_EQ(column("SELECT count(*) FROM xsmx"), texts({"5"}));
    EXPECT_EQ(listed(), byTime);
    EXPECT_EQ(sums(), (std::vector<long double>{7.5L, 50.75L, 47.5L}));
}

TEST_F(Statistics, DetailsListExactlyTheLinesOfTheOpenedReceipt) {
    // A number edited by hand that contains another one.
    receipt("920240101150000", "2024-01-03 10:00:00", 1, 4, 4, "admin");
    line("920240101150000", "饮料", 4, 1, 4, 4);
    loadByTime();
    showStatistics();

    Details d = openDetails(2); // 20240101150000
    EXPECT_EQ(d.title, "单号：20240101150000");
    EXPECT_EQ(statistics()->Edit1->text(), "20240101150000");
    EXPECT_EQ(d.goods, texts({"薯片", "可乐"}));
    EXPECT_EQ(d.sums, (std::vector<long double>{3, 12.5L, 12.5L}));
    EXPECT_EQ(d.sumTitle, "合计");

    DataGrid *lines = forms().xsmx->DBGridEh1;
    QStringList titles;
    for (int c = 0; c < lines->model()->columnCount(); ++c)
        titles << lines->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, texts({"序号", "客户", "电话", "品名", "单价", "数量", "金额", "折后"}));
    EXPECT_EQ(shown(lines, 0), texts({"1", "2"}));
    EXPECT_EQ(shown(lines, 1), texts({"王女士", ""}));
    EXPECT_EQ(shown(lines, 2), texts({"13800000000", ""}));
    EXPECT_EQ(shown(lines, 4), texts({"5", "3.75"}));
    EXPECT_EQ(lines->footerText(6), "12.5");

    d = openDetails(4); // 920240101150000
    EXPECT_EQ(d.title, "单号：920240101150000");
    EXPECT_EQ(d.goods, texts({"饮料"}));
    EXPECT_EQ(d.sums, (std::vector<long double>{1, 4, 4}));
    EXPECT_EQ(column("SELECT count(*) FROM xsmx"), texts({"6"}));
    EXPECT_TRUE(boxes.empty());
    statistics()->hide();
}

TEST_F(Statistics, DetailsOfAnEmptyListListNothing) {
    loadByTime();
    query("", "nobody");
    showStatistics();
    const Details d = openDetails(-1);
    EXPECT_EQ(d.title, "单号：");
    EXPECT_TRUE(d.goods.isEmpty());
    EXPECT_EQ(d.sums, (std::vector<long double>{0, 0, 0}));
    EXPECT_EQ(column("SELECT count(*) FROM xsmx"), texts({"5"}));
    statistics()->hide();
}

} // namespace
