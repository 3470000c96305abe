#include "AdminTest.h"

#include "DataGrid.h"
#include "Forms.h"
#include "MainUnit.h"
#include "SaleMath.h"
#include "SptjUnit.h"
#include "SpxgUnit.h"
#include "XtUnit.h"

#include <QApplication>
#include <QTest>
#include <QWindow>

namespace {

using Messages::Icon;

class GoodsDialogs : public AdminTest {
protected:
    TXtForm *xt() const { return forms().xt; }
    TSptjForm *sptj() const { return forms().sptj; }
    TSpxgForm *spxg() const { return forms().spxg; }
    TMainForm *main() const { return forms().main; }

    // The stored goods as "name|price" ("<null>" for no price).
    QStringList goods() {
        const QStringList names = column("SELECT 品名 FROM spxx ORDER BY rowid");
        const QStringList prices = column("SELECT 单价 FROM spxx ORDER BY rowid");
        QStringList rows;
        for (int i = 0; i < names.size(); ++i)
            rows << names[i] + "|" + prices.value(i);
        return rows;
    }

    static void clickThroughWindow(QWidget *button) {
        QWidget *window = button->window();
        ASSERT_NE(window->windowHandle(), nullptr);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          button->mapTo(window, button->rect().center()));
    }

    void addGoods(const QString &name, const QString &price) {
        sptj()->Edit1->setText(name);
        sptj()->Edit2->setText(price);
        click(sptj()->SpeedButton1);
    }

    // The price the main window's price lookup fills for a goods name.
    QString lookedUpPrice(const QString &name) {
        return priceText(
            column(QStringLiteral("SELECT 单价 FROM spxx WHERE 品名 = '%1'").arg(name)).value(0));
    }
};

TEST_F(GoodsDialogs, PriceBoxesTakeOnlyUnsignedDecimals) {
    const struct {
        const char *typed;
        const char *shown;
    } cases[] = {
        {"12.5", "12.5"},  {"1a2b", "12"}, {"-3", "3"},   {"+4 5", "45"},
        {"1.2.3", "1.23"}, {"..5", ".5"},  {"7e2", "72"},
    };
    for (QLineEdit *box : {sptj()->Edit2, spxg()->Edit2}) {
        for (const auto &c : cases) {
            box->clear();
            QTest::keyClicks(box, QString::fromUtf8(c.typed));
            EXPECT_EQ(box->text(), QString::fromUtf8(c.shown)) << c.typed;
        }
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), "7");
    }
}

TEST_F(GoodsDialogs, AddNeedsANameOrAPrice) {
    addGoods("", "");
    ASSERT_EQ(boxTexts(), QStringList({"添加商品不能为空！"}));
    EXPECT_EQ(boxes[0].icon, Icon::None);
    EXPECT_TRUE(goods().isEmpty());

    clearBoxes();
    addGoods("散装糖", "");
    addGoods("", "2.5");
    EXPECT_EQ(boxTexts(), QStringList({"添加商品成功！", "添加商品成功！"}));
    EXPECT_EQ(boxes[0].icon, Icon::None);
    EXPECT_EQ(goods(), QStringList({"散装糖|<null>", "|2.5"}));
}

TEST_F(GoodsDialogs, LonePointIsRefusedWithTheConversionErrorAndAddsNothing) {
    addGoods("苹果", ".");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].isError);
    EXPECT_EQ(boxes[0].text, "'.' is not a valid floating point value for field '单价'.");
    EXPECT_TRUE(goods().isEmpty());
    EXPECT_EQ(sptj()->Edit1->text(), "苹果");

    // The next addition is not disturbed by the failed one.
    clearBoxes();
    addGoods("苹果", "5.");
    EXPECT_EQ(boxTexts(), QStringList({"添加商品成功！"}));
    EXPECT_EQ(goods(), QStringList({"苹果|5.0"}));
}

TEST_F(GoodsDialogs, AddedGoodsReachTheMainWindowAndTheSettingsGrid) {
    main()->ComboBox1->setEditText("something typed");
    sptj()->show();
    addGoods("苹果", "12.346");
    EXPECT_TRUE(sptj()->isVisible()); // 继续添加商品 is ticked at start-up
    EXPECT_EQ(sptj()->Edit1->text(), "");
    EXPECT_EQ(sptj()->Edit2->text(), "");
    addGoods("苹果", "3");
    sptj()->CheckBox1->setChecked(false);
    addGoods("梨", "8.1");
    EXPECT_FALSE(sptj()->isVisible());

    EXPECT_EQ(boxTexts(), QStringList(3, "添加商品成功！"));
    EXPECT_EQ(items(main()->ComboBox1), QStringList({"苹果", "梨"}));
    EXPECT_EQ(main()->ComboBox1->currentText(), "");
    EXPECT_EQ(gridColumn(xt()->DBGridEh2, 1), QStringList({"苹果", "苹果", "梨"}));
    EXPECT_EQ(gridColumn(xt()->DBGridEh2, 2), QStringList({"12.35", "3", "8.1"}));
    EXPECT_EQ(lookedUpPrice("苹果"), "12.35");
    EXPECT_EQ(lookedUpPrice("梨"), "8.1");
}

TEST_F(GoodsDialogs, AddDialogIsNotModalAndOutlivesTheSettingsWindow) {
    bool addedWhileSettingsOpen = false;
    whileModal(
        xt(), [&] { xt()->execOnUsersTab(); },
        [&] {
            click(xt()->SpeedButton4);
            ASSERT_TRUE(sptj()->isVisible());
            EXPECT_FALSE(sptj()->isModal());
            EXPECT_EQ(QApplication::activeModalWidget(), xt());
            // Clicked through the window system, which holds back input to the
            // windows a modal window blocks.
            sptj()->Edit1->setText("苹果");
            sptj()->Edit2->setText("5");
            clickThroughWindow(sptj()->SpeedButton1);
            addedWhileSettingsOpen = goods() == QStringList({"苹果|5.0"});
            // The settings window goes on working beside it.
            xt()->PageControl1->setCurrentWidget(xt()->TabSheet2);
            EXPECT_EQ(gridColumn(xt()->DBGridEh2, 1), QStringList({"苹果"}));
        });
    EXPECT_TRUE(addedWhileSettingsOpen);
    EXPECT_FALSE(xt()->isVisible());
    EXPECT_TRUE(sptj()->isVisible());

    sptj()->Edit1->setText("梨");
    sptj()->Edit2->setText("3");
    clickThroughWindow(sptj()->SpeedButton1);
    EXPECT_EQ(goods(), QStringList({"苹果|5.0", "梨|3.0"}));
    EXPECT_EQ(items(main()->ComboBox1), QStringList({"苹果", "梨"}));
    EXPECT_EQ(gridColumn(xt()->DBGridEh2, 1), QStringList({"苹果", "梨"}));
    click(sptj()->SpeedButton2);
    EXPECT_FALSE(sptj()->isVisible());

    // Opened again from the settings window, it starts empty.
    sptj()->Edit1->setText("left over");
    whileModal(
        xt(), [&] { xt()->execOnUsersTab(); },
        [&] {
            click(xt()->SpeedButton4);
            EXPECT_TRUE(sptj()->isVisible());
            EXPECT_EQ(sptj()->Edit1->text(), "");
        });
}

TEST_F(GoodsDialogs, ModifyingChangesTheSelectedGoods) {
    sql("INSERT INTO spxx (品名, 单价) VALUES ('苹果', 12.346), ('梨', 8)");
    reloadSettings();
    main()->ComboBox1->setEditText("typed");
    xt()->DBGridEh2->selectRow(1);
    const bool stayed = whileModal(
        spxg(), [&] { click(xt()->SpeedButton5); },
        [&] {
            spxg()->Edit1->setText("雪梨");
            spxg()->Edit2->setText("9.5");
            click(spxg()->SpeedButton1);
        });
    EXPECT_FALSE(stayed);
    ASSERT_EQ(boxTexts(), QStringList({"修改商品信息成功！"}));
    EXPECT_EQ(boxes[0].icon, Icon::None);
    EXPECT_EQ(goods(), QStringList({"苹果|12.346", "雪梨|9.5"}));
    EXPECT_EQ(gridColumn(xt()->DBGridEh2, 1), QStringList({"苹果", "雪梨"}));
    EXPECT_EQ(items(main()->ComboBox1), QStringList({"苹果", "雪梨"}));
    EXPECT_EQ(main()->ComboBox1->currentText(), "");
    EXPECT_EQ(lookedUpPrice("雪梨"), "9.5");

    // Pressing 修改 without changes stores the rounded price that was shown.
    xt()->DBGridEh2->selectRow(0);
    whileModal(
        spxg(), [&] { click(xt()->SpeedButton5); }, [&] { click(spxg()->SpeedButton1); });
    EXPECT_EQ(goods(), QStringList({"苹果|12.35", "雪梨|9.5"}));

    // 关闭 saves nothing.
    whileModal(
        spxg(), [&] { click(xt()->SpeedButton5); },
        [&] {
            spxg()->Edit2->setText("1");
            click(spxg()->SpeedButton2);
            EXPECT_FALSE(spxg()->isVisible());
        });
    EXPECT_EQ(goods(), QStringList({"苹果|12.35", "雪梨|9.5"}));
}

TEST_F(GoodsDialogs, ModifyWithALonePointChangesNothing) {
    sql("INSERT INTO spxx (品名, 单价) VALUES ('苹果', 5)");
    reloadSettings();
    const bool stayed = whileModal(
        spxg(), [&] { click(xt()->SpeedButton5); },
        [&] {
            spxg()->Edit1->setText("青苹果");
            spxg()->Edit2->setText(".");
            click(spxg()->SpeedButton1);
        });
    EXPECT_TRUE(stayed);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].isError);
    EXPECT_EQ(boxes[0].text, "'.' is not a valid floating point value for field '单价'.");
    EXPECT_EQ(goods(), QStringList({"苹果|5.0"}));
    EXPECT_EQ(xt()->ADOQuery2.state(), Query::State::Browse);
    EXPECT_EQ(gridColumn(xt()->DBGridEh2, 1), QStringList({"苹果"}));
}

} // namespace
