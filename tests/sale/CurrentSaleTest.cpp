#include "Conventions.h"
#include "DataGrid.h"
#include "Forms.h"
#include "KeyFilters.h"
#include "MainUnit.h"
#include "Startup.h"
#include "TestEnv.h"
#include "XtUnit.h"

#include <QLineEdit>
#include <QTest>
#include <functional>

namespace {

class Sale : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        main = forms().main;
        main->show();
    }

    // Starts the program again on the same file (lists are filled at creation).
    void restart() {
        destroyForms();
        createForms();
        main = forms().main;
        main->show();
    }

    // Types text as a cashier would: key by key, Chinese through key events with text.
    static void type(QWidget *w, const QString &text) {
        for (const QChar ch : text) {
            if (ch.unicode() < 128)
                QTest::keyClick(w, ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }

    // Replaces the whole text of an edit box or an editable combo box by typing; a
    // rest that type-ahead completed is deleted again, so the box holds the text.
    static void retype(QWidget *w, const QString &text) {
        if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->lineEdit()->selectAll();
        else
            static_cast<QLineEdit *>(w)->selectAll();
        type(w, text);
        QTest::keyClick(w, Qt::Key_Delete);
    }

    void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }

    // Enters one line and adds it.
    void addLine(const QString &name, const QString &price, const QString &quantity,
                 const QString &discount) {
        main->ComboBox1->setEditText(name);
        retype(main->Edit3, price);
        retype(main->Edit4, quantity);
        retype(main->ComboBox2, discount);
        click(main->SpeedButton2);
    }

    QString gridText(int row, int column) {
        return main->DBGridEh1->model()->index(row, column).data().toString();
    }

    std::vector<bool> buttons() const {
        return {main->SpeedButton2->isEnabled(), main->SpeedButton3->isEnabled(),
                main->SpeedButton4->isEnabled()};
    }

    TMainForm *main = nullptr;
};

TEST_F(Sale, WorkedExampleFromFirstKeyToChange) {
    sql("INSERT INTO spxx VALUES ('茶', 12.5)");
    restart();
    type(main->ComboBox1, "茶"); // type-ahead chooses the goods: its price is looked up
    EXPECT_EQ(main->Edit3->text(), "12.5");
    EXPECT_EQ(main->Edit11->text(), "12.5");
    EXPECT_EQ(main->Edit12->text(), "12.5");
    retype(main->Edit4, "3");
    EXPECT_EQ(main->Edit11->text(), "37.5");
    main->ComboBox2->lineEdit()->selectAll();
    type(main->ComboBox2, "8"); // type-ahead shows 8.9 and recomputes with it
    EXPECT_EQ(main->ComboBox2->currentText(), "8.9");
    EXPECT_EQ(main->Edit12->text(), "33.375");
    type(main->ComboBox2, ".");
    EXPECT_EQ(main->ComboBox2->currentText(), "8.9");
    type(main->ComboBox2, "5");
    EXPECT_EQ(main->ComboBox2->currentText(), "8.5");
    EXPECT_EQ(main->Edit12->text(), "31.875");

    click(main->SpeedButton2);
    EXPECT_TRUE(boxes.empty()) << boxTexts().join('|').toStdString();
    EXPECT_EQ(tillColumn("SELECT 品名 || ' ' || 单价 || ' ' || 数量 || ' ' || 金额 || ' ' || 折后 "
                         "FROM xsxx"),
              QStringList{"茶 12.5 3.0 37.5 31.875"});
    EXPECT_EQ(gridText(0, 0), "1");
    EXPECT_EQ(gridText(0, 1), "茶");
    EXPECT_EQ(gridText(0, 2), "12.5");
    EXPECT_EQ(gridText(0, 3), "3");
    EXPECT_EQ(gridText(0, 4), "37.5");
    EXPECT_EQ(gridText(0, 5), "31.88");
    EXPECT_EQ(main->Label13->text(), "3");
    EXPECT_EQ(main->Label14->text(), "37.5");
    EXPECT_EQ(main->Label15->text(), "31.87");
    EXPECT_EQ(main->ComboBox4->currentText(), "37.5");
    EXPECT_EQ(main->Edit6->text(), "0");
    // The entry line is reset.
    EXPECT_EQ(main->ComboBox1->currentText(), "");
    EXPECT_EQ(main->Edit3->text(), "");
    EXPECT_EQ(main->Edit4->text(), "1");
    EXPECT_EQ(main->ComboBox2->currentText(), "10");
    EXPECT_EQ(main->Edit11->text(), "");

    retype(main->ComboBox4, "50");
    EXPECT_EQ(main->Edit6->text(), "18.13");
    retype(main->ComboBox4, "30");
    EXPECT_EQ(main->Edit6->text(), "-1.87");
    main->ComboBox4->lineEdit()->selectAll();
    QTest::keyClick(main->ComboBox4, Qt::Key_Backspace);
    EXPECT_EQ(main->Edit6->text(), "");
}

TEST_F(Sale, AmountsOfTheWorkedExamples) {
    struct Case {
        const char *price, *quantity, *discount, *amount, *discounted;
    } cases[] = {{"3.3", "3", "9", "9.9", "8.91"}, {"2.68", "3", "9.5", "8.04", "7.638"}};
    for (const Case &c : cases) {
        main->ComboBox1->setEditText("货");
        retype(main->Edit3, c.price);
        retype(main->Edit4, c.quantity);
        retype(main->ComboBox2, c.discount);
        EXPECT_EQ(main->Edit11->text(), c.amount);
        EXPECT_EQ(main->Edit12->text(), c.discounted);
    }
}

TEST_F(Sale, DiscountAndPriceBoxesTakeOnlyNumberKeys) {
    retype(main->ComboBox2, "9");
    type(main->ComboBox2, "5");
    EXPECT_EQ(main->ComboBox2->currentText(), "95");
    retype(main->Edit3, "1a-2.3.4+ ");
    EXPECT_EQ(main->Edit3->text(), "12.34");
}

TEST_F(Sale, EmptyFieldsAreRefusedOneByOneAndPaidIsStillPreset) {
    addLine("茶", "10", "2", "10");
    clearBoxes();
    main->ComboBox1->setEditText("水");
    main->Edit3->clear();
    main->Edit4->clear();
    click(main->SpeedButton2);
    EXPECT_EQ(boxTexts(), (QStringList{"单价不能为空！", "数量不能为空！"}));
    for (const auto &b : boxes) {
        EXPECT_EQ(b.icon, Messages::Icon::Warning);
        EXPECT_EQ(b.caption, "提示");
    }
    EXPECT_EQ(tillColumn("SELECT count(*) FROM xsxx"), QStringList{"1"});
    EXPECT_EQ(main->ComboBox1->currentText(), "水"); // the entry line keeps its texts
    EXPECT_EQ(main->ComboBox4->currentText(), "20");
    EXPECT_EQ(main->Edit6->text(), "0");

    clearBoxes();
    main->ComboBox1->setEditText("");
    click(main->SpeedButton2);
    EXPECT_EQ(boxTexts(), QStringList{"品名不能为空！"});
}

TEST_F(Sale, AddTeachesTheGoodsTableItsPrice) {
    sql("INSERT INTO spxx VALUES ('AB', 5), ('B', 7)");
    restart();
    // Choosing B fills B's own price, not that of AB which contains it.
    main->ComboBox1->setCurrentIndex(main->ComboBox1->findText("B"));
    emit main->ComboBox1->chosen();
    EXPECT_EQ(main->Edit3->text(), "7");
    retype(main->Edit3, "7.5");
    click(main->SpeedButton2);
    EXPECT_EQ(column("SELECT 品名 || '=' || 单价 FROM spxx"), (QStringList{"AB=5.0", "B=7.5"}));

    addLine("新茶", "3", "1", "10");
    EXPECT_EQ(column("SELECT 品名 || '=' || 单价 FROM spxx"),
              (QStringList{"AB=5.0", "B=7.5", "新茶=3.0"}));
    EXPECT_GE(main->ComboBox1->findText("新茶"), 0);
    EXPECT_EQ(main->ComboBox1->currentText(), "");
}

// After an add the goods list is what the goods table holds, also when only the
// added line's own change is taken over instead of reading the table again.
TEST_F(Sale, GoodsListFollowsEveryChangeOfTheGoodsTable) {
    sql("INSERT INTO spxx VALUES ('茶', 1), ('水', 2), ('茶', 3)");
    restart();
    const auto listed = [this] {
        QStringList items;
        for (int i = 0; i < main->ComboBox1->count(); ++i)
            items << main->ComboBox1->itemText(i);
        return items;
    };
    const auto renameInThisProgram = [](const QString &from, const QString &to) {
        Connection c;
        Query q(c);
        exactLookup(q, "spxx", "品名", from);
        q.edit();
        q.setField("品名", to);
        q.post();
    };
    const std::vector<std::pair<const char *, std::function<void()>>> steps = {
        {"a known goods at a new price", [&] { addLine("水", "2.5", "1", "10"); }},
        {"a new goods", [&] { addLine("咖啡", "9", "1", "10"); }},
        {"another one", [&] { addLine("果汁", "4", "2", "10"); }},
        {"another program adds and renames goods",
         [&] {
             sql("INSERT INTO spxx VALUES ('可乐', 3)");
             sql("UPDATE spxx SET 品名 = '矿泉水' WHERE 品名 = '水'");
             addLine("茶", "1", "1", "10");
         }},
        {"this program renames a goods elsewhere",
         [&] {
             renameInThisProgram("咖啡", "拿铁");
             addLine("茶", "1", "1", "10");
         }},
        {"a refused line",
         [&] {
             addLine(QString(256, QChar(u'长')), "1", "1", "10");
             EXPECT_EQ(boxes.size(), 1u); // the name is too long for the goods table
         }},
        {"and a new goods after it", [&] { addLine("饼干", "6", "1", "10"); }},
    };
    for (const auto &[name, step] : steps) {
        step();
        EXPECT_EQ(listed(), column("Select Distinct 品名 From spxx NOT INDEXED")) << name;
    }
    EXPECT_EQ(listed(), (QStringList{"茶", "矿泉水", "拿铁", "果汁", "可乐", "饼干"}));
}

TEST_F(Sale, SettingsWindowShowsGoodsAddedAtTheTillWhenOpened) {
    TXtForm *xt = forms().xt;
    const auto goods = [xt] {
        QStringList names;
        for (xt->ADOQuery2.first(); !xt->ADOQuery2.eof(); xt->ADOQuery2.next())
            names << xt->ADOQuery2.fieldText("品名");
        return names;
    };
    addLine("新茶", "3", "1", "10");
    xt->show(); // the hidden window reads the goods when it is shown
    EXPECT_EQ(goods(), QStringList{"新茶"});
    addLine("咖啡", "9", "1", "10"); // while it shows: at once
    EXPECT_EQ(goods(), (QStringList{"新茶", "咖啡"}));
    xt->hide();
}

TEST_F(Sale, ButtonStatesRowNumbersModifyAndDelete) {
    EXPECT_EQ(buttons(), (std::vector<bool>{true, false, false}));
    addLine("a", "1", "1", "10");
    addLine("b", "2", "1", "10");
    addLine("c", "3", "1", "10");
    addLine("d", "4", "1", "10");
    EXPECT_EQ(buttons(), (std::vector<bool>{true, false, false}));

    const auto clickRow = [&](int row) {
        QTableView *grid = main->DBGridEh1;
        const QRect r = grid->visualRect(grid->model()->index(row, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    };
    clickRow(1);
    EXPECT_EQ(buttons(), (std::vector<bool>{false, true, true}));
    EXPECT_EQ(main->ComboBox1->currentText(), "b");
    EXPECT_EQ(main->Edit3->text(), "2");
    EXPECT_EQ(main->Edit11->text(), "2");
    click(main->SpeedButton4); // delete b
    EXPECT_EQ(buttons(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(main->Edit11->text(), "");
    EXPECT_EQ(main->Label14->text(), "8");
    EXPECT_EQ(tillColumn("SELECT 品名 FROM xsxx"), (QStringList{"a", "c", "d"}));
    EXPECT_EQ(gridText(0, 0), "1");
    EXPECT_EQ(gridText(1, 0), "2");
    EXPECT_EQ(gridText(2, 0), "3");
    EXPECT_EQ(gridText(2, 1), "d");

    clickRow(1); // c
    retype(main->Edit4, "2");
    click(main->SpeedButton3);
    EXPECT_EQ(buttons(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(tillColumn("SELECT 品名 || ' ' || 数量 || ' ' || 金额 FROM xsxx"),
              (QStringList{"a 1.0 1.0", "c 2.0 6.0", "d 1.0 4.0"}));
    EXPECT_EQ(main->Label14->text(), "11");

    // Modify refuses an empty goods name as Add does.
    clickRow(0);
    main->ComboBox1->setEditText("");
    clearBoxes();
    click(main->SpeedButton3);
    EXPECT_EQ(boxTexts(), QStringList{"品名不能为空！"});
    EXPECT_EQ(column("SELECT count(*) FROM spxx WHERE 品名 = ''"), QStringList{"0"});
}

TEST_F(Sale, RoundOffTruncatesTheDiscountedAmount) {
    main->ComboBox1->setEditText("x");
    retype(main->Edit3, "12.5");
    retype(main->Edit4, "3");
    retype(main->ComboBox2, "8.5");
    click(main->SpeedButton9);
    EXPECT_EQ(main->Edit12->text(), "31");
    EXPECT_EQ(main->Edit11->text(), "37.5");
    click(main->SpeedButton2);
    EXPECT_EQ(tillColumn("SELECT 折后 FROM xsxx"), QStringList{"31.0"});
}

TEST_F(Sale, PastedNonNumberIsRefusedWithTheConversionMessage) {
    main->ComboBox1->setEditText("x");
    main->Edit3->setText("abc"); // as if pasted with the mouse
    retype(main->Edit4, "2");
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(boxes.back().isError);
    EXPECT_EQ(boxes.back().text, "'abc' is not a valid floating point value.");
}

TEST_F(Sale, SwitchesWidthAndCopiesSurviveARestart) {
    main->CheckBox3->setChecked(false);
    EXPECT_EQ(column("SELECT 客户 || 电话 FROM id"), QStringList{"10"});
    main->ComboBox5->lineEdit()->selectAll();
    QTest::keyClick(main->ComboBox5, '7');
    EXPECT_EQ(column("SELECT pos FROM id"), QStringList{"7"});
    QTest::keyClick(main->ComboBox5, '6');
    EXPECT_EQ(column("SELECT pos FROM id"), QStringList{"76"});
    main->ComboBox3->lineEdit()->selectAll();
    QTest::keyClick(main->ComboBox3, '2');
    EXPECT_EQ(column("SELECT print FROM id"), QStringList{"2"});

    restart();
    EXPECT_TRUE(main->CheckBox2->isChecked());
    EXPECT_FALSE(main->CheckBox3->isChecked());
    EXPECT_TRUE(main->Edit9->isEnabled());
    EXPECT_FALSE(main->Edit10->isEnabled());
    EXPECT_EQ(main->ComboBox5->currentText(), "76");
    EXPECT_EQ(main->ComboBox3->currentText(), "2");
}

TEST_F(Sale, StoredSwitchStatesAtStartUp) {
    struct Case {
        const char *customer, *phone;
        bool customerOn, phoneOn;
        const char *storedAfter;
    } cases[] = {
        {"0", "1", false, false, "00"},
        {"1", "0", true, false, "10"},
        {"1", "1", true, true, "11"},
        {"x", "1", false, false, "00"},
    };
    for (const Case &c : cases) {
        sql(QStringLiteral("UPDATE id SET 客户='%1', 电话='%2'").arg(c.customer, c.phone));
        restart();
        EXPECT_EQ(main->CheckBox2->isChecked(), c.customerOn) << c.customer << c.phone;
        EXPECT_EQ(main->CheckBox3->isChecked(), c.phoneOn) << c.customer << c.phone;
        EXPECT_EQ(column("SELECT 客户 || 电话 FROM id"), QStringList{c.storedAfter});
    }
    // An empty settings table gains its row at the first change.
    sql("DELETE FROM id");
    restart();
    EXPECT_FALSE(main->CheckBox2->isChecked());
    EXPECT_EQ(main->ComboBox5->currentText(), "");
    main->CheckBox3->setChecked(true);
    EXPECT_EQ(column("SELECT 客户 || 电话 FROM id"), QStringList{"11"});
}

} // namespace
