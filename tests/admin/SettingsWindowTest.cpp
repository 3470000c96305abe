#include "AdminTest.h"

#include "DataGrid.h"
#include "Forms.h"
#include "MainUnit.h"
#include "Permissions.h"
#include "QxsmUnit.h"
#include "SpxgUnit.h"
#include "XtUnit.h"
#include "YhxgUnit.h"

#include <QHeaderView>
#include <QTest>

namespace {

using Messages::Buttons;
using Messages::Icon;

class SettingsWindow : public AdminTest {
protected:
    TXtForm *xt() const { return forms().xt; }
    TMainForm *main() const { return forms().main; }

    // The shop name and remarks of the print-content row.
    QStringList printContent() {
        return {column("SELECT 店名 FROM dynr").value(0), column("SELECT 备注 FROM dynr").value(0)};
    }

    void selectRow(DataGrid *grid, int row) {
        grid->selectRow(row);
        ASSERT_EQ(grid->query()->recNo(), row + 1);
    }
};

TEST_F(SettingsWindow, LoadsThePrintContentWhenCreated) {
    sql("UPDATE dynr SET 店名 = '岚溪小店', 备注 = '谢谢惠顾' || char(13, 10) || '欢迎再来'");
    restart();
    EXPECT_EQ(xt()->Edit1->text(), "岚溪小店");
    EXPECT_EQ(xt()->Memo1->toPlainText(), "谢谢惠顾\n欢迎再来");
}

TEST_F(SettingsWindow, UsersGridShowsNamesAndPermissionsButNoPassword) {
    addUserRow("张三", "secret", "普通用户");
    reloadSettings();
    DataGrid *grid = xt()->DBGridEh1;
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({"序号", "用户名", "权限"}));
    EXPECT_EQ(gridColumn(grid, 0), QStringList({"1", "2"}));
    EXPECT_EQ(gridColumn(grid, 1), QStringList({"admin", "张三"}));
    EXPECT_EQ(gridColumn(grid, 2), QStringList({"管理员", "普通用户"}));
    EXPECT_TRUE(grid->numberEmptyRows());
}

TEST_F(SettingsWindow, GoodsGridShowsPricesAsTwoDecimalsAndNumbersOnlyRows) {
    DataGrid *grid = xt()->DBGridEh2;
    EXPECT_FALSE(grid->numberEmptyRows());
    EXPECT_EQ(grid->model()->rowCount(), 0);
    sql("INSERT INTO spxx (品名, 单价) VALUES ('苹果', 12.346), ('梨', 3), ('桃', NULL)");
    reloadSettings();
    EXPECT_EQ(gridColumn(grid, 0), QStringList({"1", "2", "3"}));
    EXPECT_EQ(gridColumn(grid, 1), QStringList({"苹果", "梨", "桃"}));
    EXPECT_EQ(gridColumn(grid, 2), QStringList({"12.35", "3", ""}));
}

TEST_F(SettingsWindow, DeletingUsers) {
    // Only the user named exactly "admin" is kept; a cancelled confirmation deletes
    // nothing.
    addUserRow("Admin", "", "管理员");
    addUserRow("张三", "", "普通用户");
    const struct {
        int row;
        bool confirm;
        QStringList boxes;
        Icon lastIcon;
        QStringList remaining;
    } cases[] = {
        {1, false, {"确定要删除选中的用户？"}, Icon::Warning, {"admin", "Admin", "张三"}},
        {0,
         true,
         {"确定要删除选中的用户？", "管理员不能被删除！"},
         Icon::Error,
         {"admin", "Admin", "张三"}},
        {1, true, {"确定要删除选中的用户？"}, Icon::Warning, {"admin", "张三"}},
        {1, true, {"确定要删除选中的用户？"}, Icon::Warning, {"admin"}},
    };
    reloadSettings();
    for (const auto &c : cases) {
        selectRow(xt()->DBGridEh1, c.row);
        clearBoxes();
        answers = {c.confirm};
        click(xt()->SpeedButton3);
        EXPECT_EQ(boxTexts(), c.boxes);
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.front().buttons, Buttons::OkCancel);
        EXPECT_EQ(boxes.back().caption, "提示");
        EXPECT_EQ(boxes.back().icon, c.lastIcon);
        EXPECT_EQ(column("SELECT 用户名 FROM username"), c.remaining);
        EXPECT_EQ(gridColumn(xt()->DBGridEh1, 1), c.remaining);
    }
}

TEST_F(SettingsWindow, EmptyGoodsListIsReportedByModifyAndDelete) {
    click(xt()->SpeedButton5);
    click(xt()->SpeedButton6);
    ASSERT_EQ(boxTexts(), QStringList({"商品信息为空！", "商品信息为空！"}));
    EXPECT_EQ(boxes[0].icon, Icon::None);
    EXPECT_EQ(boxes[0].buttons, Buttons::Ok);
    EXPECT_EQ(boxes[1].icon, Icon::Warning);
    EXPECT_EQ(boxes[1].buttons, Buttons::OkCancel);
    EXPECT_FALSE(forms().spxg->isVisible());
}

TEST_F(SettingsWindow, DeletingGoodsAfterConfirmation) {
    sql("INSERT INTO spxx (品名, 单价) VALUES ('苹果', 5), ('梨', 3)");
    reloadSettings();
    selectRow(xt()->DBGridEh2, 1);
    answers = {false};
    click(xt()->SpeedButton6);
    EXPECT_EQ(boxTexts(), QStringList({"确定要删除选中的商品？"}));
    EXPECT_EQ(boxes[0].icon, Icon::Warning);
    EXPECT_EQ(boxes[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(column("SELECT 品名 FROM spxx ORDER BY rowid"), QStringList({"苹果", "梨"}));
    click(xt()->SpeedButton6);
    EXPECT_EQ(column("SELECT 品名 FROM spxx ORDER BY rowid"), QStringList({"苹果"}));
    EXPECT_EQ(gridColumn(xt()->DBGridEh2, 1), QStringList({"苹果"}));
}

TEST_F(SettingsWindow, ModifyGoodsOpensWithThePriceRounded) {
    sql("INSERT INTO spxx (品名, 单价) VALUES ('苹果', 12.346), ('梨', 8.1), ('桃', 3), "
        "('李', 12.5)");
    reloadSettings();
    const QStringList prices = {"12.35", "8.1", "3", "12.5"};
    const QStringList names = {"苹果", "梨", "桃", "李"};
    for (int row = 0; row < prices.size(); ++row) {
        selectRow(xt()->DBGridEh2, row);
        TSpxgForm *dialog = forms().spxg;
        QString name, price;
        whileModal(
            dialog, [&] { click(xt()->SpeedButton5); },
            [&] {
                name = dialog->Edit1->text();
                price = dialog->Edit2->text();
            });
        EXPECT_EQ(name, names[row]);
        EXPECT_EQ(price, prices[row]);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SettingsWindow, DoubleClickOnAGridModifiesLikeItsButton) {
    sql("INSERT INTO spxx (品名, 单价) VALUES ('苹果', 2)");
    reloadSettings();
    QString goods;
    whileModal(
        forms().spxg, [&] { emit xt()->DBGridEh2->gridDoubleClicked(); },
        [&] { goods = forms().spxg->Edit1->text(); });
    EXPECT_EQ(goods, "苹果");
    QString user;
    whileModal(
        forms().yhxg, [&] { emit xt()->DBGridEh1->gridDoubleClicked(); },
        [&] { user = forms().yhxg->Edit1->text(); });
    EXPECT_EQ(user, "admin");
}

TEST_F(SettingsWindow, GoodsWithoutPriceCannotBeOpenedForModification) {
    sql("INSERT INTO spxx (品名, 单价) VALUES ('桃', NULL)");
    reloadSettings();
    click(xt()->SpeedButton5);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].isError);
    EXPECT_EQ(boxes[0].text, "'' is not a valid floating point value.");
    EXPECT_FALSE(forms().spxg->isVisible());
}

TEST_F(SettingsWindow, SavingThePrintContentReachesTheMainWindow) {
    xt()->Edit1->setText("岚溪便利店");
    xt()->Memo1->setPlainText("谢谢惠顾\n欢迎再来");
    click(xt()->SpeedButton7);
    ASSERT_EQ(boxTexts(), QStringList({"设置打印内容保存成功！"}));
    EXPECT_EQ(boxes[0].icon, Icon::Warning);
    EXPECT_EQ(boxes[0].caption, "提示");
    EXPECT_EQ(printContent(), QStringList({"岚溪便利店", "谢谢惠顾\r\n欢迎再来"}));
    EXPECT_EQ(main()->Edit5->text(), "岚溪便利店");
    EXPECT_EQ(main()->Memo1->toPlainText(), "谢谢惠顾\n欢迎再来");
    // The next start shows it too.
    restart();
    EXPECT_EQ(main()->Edit5->text(), "岚溪便利店");
    EXPECT_EQ(xt()->Memo1->toPlainText(), "谢谢惠顾\n欢迎再来");
}

TEST_F(SettingsWindow, EmptyPrintContentTableGainsItsRowAtTheFirstSave) {
    sql("DELETE FROM dynr");
    restart();
    EXPECT_EQ(xt()->Edit1->text(), "");
    xt()->Edit1->setText("小店");
    click(xt()->SpeedButton7);
    EXPECT_EQ(boxTexts(), QStringList({"设置打印内容保存成功！"}));
    EXPECT_EQ(column("SELECT 店名 FROM dynr"), QStringList({"小店"}));
}

TEST_F(SettingsWindow, OrdinaryUserCannotSaveThePrintContent) {
    sql("UPDATE dynr SET 店名 = '旧店名', 备注 = '旧备注'");
    restart();
    applyPermission("普通用户");
    xt()->Edit1->setText("新店名");
    click(xt()->SpeedButton7);
    ASSERT_EQ(boxTexts(), QStringList({"您没有权限设置打印内容！"}));
    EXPECT_EQ(boxes[0].icon, Icon::None);
    EXPECT_EQ(printContent(), QStringList({"旧店名", "旧备注"}));
    EXPECT_EQ(main()->Edit5->text(), "旧店名");
}

TEST_F(SettingsWindow, ReadOnlyColoursOfTheLoginLastWhenTheWindowsShow) {
    addUserRow("张三", "san", "普通用户");
    restart();
    ASSERT_TRUE(logIn("张三", "san"));
    const QColor buttonFace = xt()->style()->standardPalette().color(QPalette::Button);
    xt()->PageControl1->setCurrentWidget(xt()->TabSheet3);
    xt()->grab(); // lays out and polishes the window as showing it does
    forms().yhxg->grab();
    for (QWidget *box : {static_cast<QWidget *>(xt()->Edit1), static_cast<QWidget *>(xt()->Memo1),
                         static_cast<QWidget *>(forms().yhxg->Edit1)})
        EXPECT_EQ(box->palette().color(QPalette::Base), buttonFace)
            << box->objectName().toStdString();
    EXPECT_NE(forms().yhxg->Edit2->palette().color(QPalette::Base), buttonFace);
}

TEST_F(SettingsWindow, RemarkLongerThanTheColumnIsRefusedAndTheOldContentKept) {
    sql("UPDATE dynr SET 店名 = '旧店名', 备注 = '旧备注'");
    restart();
    // Line breaks count two characters each: 127 + 2 + 127 = 256 does not fit.
    xt()->Edit1->setText("新店名");
    xt()->Memo1->setPlainText(QString(127, 'a') + "\n" + QString(127, 'b'));
    click(xt()->SpeedButton7);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].isError);
    EXPECT_TRUE(boxes[0].text.contains("备注")) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains("255")) << boxes[0].text.toStdString();
    EXPECT_EQ(printContent(), QStringList({"旧店名", "旧备注"}));
    EXPECT_EQ(main()->Edit5->text(), "旧店名");

    // One character less fits; nothing of the failed save is left pending.
    clearBoxes();
    xt()->Edit1->setText("店");
    xt()->Memo1->setPlainText(QString(127, 'a') + "\n" + QString(126, 'b'));
    click(xt()->SpeedButton7);
    EXPECT_EQ(boxTexts(), QStringList({"设置打印内容保存成功！"}));
    EXPECT_EQ(printContent(), QStringList({"店", QString(127, 'a') + "\r\n" + QString(126, 'b')}));
}

TEST_F(SettingsWindow, ClosingRefillsTheMainWindowsGoodsAndCashierLists) {
    ASSERT_TRUE(logIn("admin", ""));
    EXPECT_EQ(main()->ComboBox6->currentText(), "admin");
    sql("INSERT INTO spxx (品名, 单价) VALUES ('苹果', 5), ('梨', 3), ('苹果', 6)");
    addUserRow("张三", "", "普通用户");
    main()->ComboBox1->setEditText("梨");
    for (const auto &close : std::vector<std::function<void()>>{
             [&] { xt()->close(); }, [&] { QTest::keyClick(xt(), Qt::Key_Escape); }}) {
        whileModal(
            xt(), [&] { xt()->execOnUsersTab(); }, close);
        EXPECT_EQ(items(main()->ComboBox1), QStringList({"苹果", "梨"}));
        EXPECT_EQ(main()->ComboBox1->currentText(), "");
        EXPECT_EQ(items(main()->ComboBox6), QStringList({"admin", "张三"}));
        EXPECT_EQ(main()->ComboBox6->currentText(), "");
        main()->ComboBox1->setEditText("梨");
        main()->ComboBox6->setEditText("admin");
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SettingsWindow, OpensOnTheUsersTabWhateverTabWasLeft) {
    for (QWidget *tab : {xt()->TabSheet2, xt()->TabSheet3, xt()->TabSheet1}) {
        xt()->PageControl1->setCurrentWidget(tab);
        QWidget *shown = nullptr;
        whileModal(
            xt(), [&] { xt()->execOnUsersTab(); },
            [&] { shown = xt()->PageControl1->currentWidget(); });
        EXPECT_EQ(shown, xt()->TabSheet1);
    }
}

TEST_F(SettingsWindow, PermissionExplanationListsTheFourRules) {
    TQxsmForm *qxsm = forms().qxsm;
    EXPECT_EQ(qxsm->windowTitle(), "权限说明");
    QStringList texts;
    bool stayed = whileModal(
        qxsm, [&] { click(xt()->SpeedButton8); },
        [&] {
            for (QLabel *label :
                 {qxsm->Label1, qxsm->Label2, qxsm->Label3, qxsm->Label4, qxsm->Label5})
                texts << label->text();
            click(qxsm->SpeedButton1);
        });
    EXPECT_FALSE(stayed);
    EXPECT_EQ(texts,
              QStringList({"普通用户与管理员(admin)的权限区别：", "1.不可添加、删除用户(收银员)。",
                           "2.不可设置打印内容。", "3.不可更改单号。", "4.不可删除销售信息。"}));
}

} // namespace
