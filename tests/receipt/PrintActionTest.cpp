// The print action of the main window: what is printed, what is recorded, what is
// cleared, and what a failing printer leaves behind.
#include "Clock.h"
#include "Dy58Unit.h"
#include "Dy76Unit.h"
#include "Forms.h"
#include "MainUnit.h"
#include "Pdf.h"
#include "PrintError.h"
#include "Report.h"
#include "Startup.h"
#include "TestEnv.h"
#include "XtUnit.h"

#include <QApplication>
#include <QPrinter>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

class PrintAction : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        Clock::setSource([this] { return now; });
        sql("UPDATE dynr SET 店名 = '岚溪小店', 备注 = '谢谢惠顾' || char(10) || '欢迎再来'");
        restart();
        // Every print job becomes a PDF file in the test directory.
        Report::setPrintSink([this](Report::BandedReport &report) {
            if (failPrinting)
                throw PrintError(QStringLiteral("打印失败：打印机拒绝了打印任务"));
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path(QStringLiteral("job%1.pdf").arg(jobs.size() + 1)));
            report.print(printer);
            jobs << report.objectName();
            pageLengths << report.pageLength();
        });
    }

    void TearDown() override {
        Report::setPrintSink({});
        Clock::setSource({});
        FormsTest::TearDown();
    }

    void restart() {
        destroyForms();
        createForms();
        main = forms().main;
        main->ComboBox6->setEditText(QStringLiteral("张三"));
        main->show();
    }

    void addLine(const QString &name, const QString &price, const QString &quantity) {
        main->ComboBox1->setEditText(name);
        main->Edit3->setText(price);
        main->Edit4->setText(quantity);
        main->ComboBox2->setEditText(QStringLiteral("10"));
        QTest::keyClick(main->Edit4, Qt::Key_End); // the key release recomputes the line
        QTest::mouseClick(main->SpeedButton2, Qt::LeftButton);
    }

    void threeLines() {
        addLine(QStringLiteral("苹果"), QStringLiteral("12.5"), QStringLiteral("2"));
        addLine(QStringLiteral("香蕉"), QStringLiteral("3"), QStringLiteral("1"));
        addLine(QStringLiteral("梨"), QStringLiteral("0.5"), QStringLiteral("3"));
    }

    void print() { QTest::mouseClick(main->SpeedButton6, Qt::LeftButton); }

    QDateTime now = QDateTime(QDate(2026, 12, 11), QTime(9, 30, 5));
    TMainForm *main = nullptr;
    QStringList jobs;
    QList<int> pageLengths;
    bool failPrinting = false;
};

TEST_F(PrintAction, ThreeLinesTwoRemarksOn58mmPrintsOneReceiptAndRecordsIt) {
    main->CheckBox3->setChecked(false); // customer only
    main->Edit9->setText(QStringLiteral("李四"));
    main->Edit10->setText(QStringLiteral("13800000000"));
    threeLines();
    main->ComboBox4->setEditText(QStringLiteral("50"));
    main->Edit6->setText(QStringLiteral("19.5"));
    const QString number = main->Edit1->text();
    now = now.addSecs(60);

    print();
    ASSERT_TRUE(boxes.empty()) << boxTexts().join('|').toStdString();
    ASSERT_EQ(jobs, QStringList{"QuickRep2"});
    EXPECT_EQ(pageLengths, QList<int>{409}); // 17 × 2 + 300 + 25 × 3

    const Pdf pdf = readPdf(path("job1.pdf"));
    ASSERT_EQ(pdf.sizes.size(), 1);
    EXPECT_NEAR(pdf.sizes[0].width() * 25.4 / 72, 57.94, 0.2);
    EXPECT_NEAR(pdf.sizes[0].height() * 25.4 / 72, 108.21, 0.2);
    const QString text = pdf.all();
    for (const char *part : {"张三", "岚溪小店", "李四", "苹果", "12.50", "25.00", "香蕉", "3.00",
                             "0.50", "1.50", "谢谢惠顾", "欢迎再来", "50", "19.5", "29.5"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part << "\n" << text.toStdString();
    EXPECT_TRUE(text.contains(number));
    EXPECT_FALSE(text.contains("13800000000")); // the phone is not printed here

    EXPECT_EQ(column("SELECT 单号 || '|' || 数量 || '|' || 金额 || '|' || 折后 || '|' || 收银员 "
                     "FROM xstj"),
              QStringList{number + "|6.0|29.5|29.5|张三"});
    EXPECT_EQ(column("SELECT 品名 || '|' || 客户 || '|' || 电话 || '|' || 单号 FROM xsmx"),
              (QStringList{"苹果|李四|13800000000|" + number, "香蕉|李四|13800000000|" + number,
                           "梨|李四|13800000000|" + number}));
    EXPECT_EQ(tillColumn("SELECT count(*) FROM xsxx"), QStringList{"0"});
    EXPECT_EQ(main->ADOQuery2.recordCount(), 0);
    EXPECT_EQ(main->Label13->text(), "0");
    EXPECT_EQ(main->Label14->text(), "0");
    EXPECT_EQ(main->Label15->text(), "0");
    EXPECT_EQ(main->ComboBox4->currentText(), "");
    EXPECT_EQ(main->Edit6->text(), "");
    EXPECT_EQ(main->Edit9->text(), "");
    EXPECT_EQ(main->Edit10->text(), "13800000000");
    EXPECT_EQ(main->Edit1->text(), "20261211093105");
    EXPECT_NE(main->Edit1->text(), number);
}

TEST_F(PrintAction, VariantAndCopiesFollowTheSwitchesAndTheBoxes) {
    struct Case {
        bool customer, phone;
        const char *width, *copies;
        QStringList jobs;
    } cases[] = {
        {false, false, "58", "1", {"QuickRep1"}},
        {true, false, "58", "2", {"QuickRep2", "QuickRep2"}},
        {true, true, "76", "1", {"QuickRep3"}},
        {true, true, "80", "1", {}}, // neither width: recorded without printing
        {true, true, "58", "3", {}},
    };
    int receipts = 0;
    for (const Case &c : cases) {
        main->CheckBox3->setChecked(c.phone);
        main->CheckBox2->setChecked(c.customer);
        main->ComboBox5->setEditText(c.width);
        main->ComboBox3->setEditText(c.copies);
        addLine(QStringLiteral("茶"), QStringLiteral("2"), QStringLiteral("1"));
        jobs.clear();
        print();
        EXPECT_EQ(jobs, c.jobs) << c.width << " " << c.copies;
        EXPECT_EQ(column("SELECT count(*) FROM xstj"), QStringList{QString::number(++receipts)});
        EXPECT_EQ(tillColumn("SELECT count(*) FROM xsxx"), QStringList{"0"});
    }
    // 76 mm page length: 17 × 2 + 319 + 25 × 1.
    main->CheckBox2->setChecked(true);
    main->CheckBox3->setChecked(true);
    main->ComboBox5->setEditText("76");
    main->ComboBox3->setEditText("1");
    addLine(QStringLiteral("茶"), QStringLiteral("2"), QStringLiteral("1"));
    pageLengths.clear();
    print();
    EXPECT_EQ(pageLengths, QList<int>{378});
}

TEST_F(PrintAction, EmptySaleIsRefused) {
    print();
    EXPECT_EQ(boxTexts(), QStringList{"打印信息为空！"});
    EXPECT_EQ(boxes[0].icon, Messages::Icon::Warning);
    EXPECT_TRUE(jobs.isEmpty());
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), QStringList{"0"});
}

TEST_F(PrintAction, FailingPrinterRecordsNothingAndTheSaleCanBePrintedAgain) {
    threeLines();
    const QString number = main->Edit1->text();
    failPrinting = true;
    print();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].isError);
    EXPECT_TRUE(boxes[0].text.startsWith("打印失败"));
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), QStringList{"0"});
    EXPECT_EQ(tillColumn("SELECT count(*) FROM xsxx"), QStringList{"3"});
    EXPECT_EQ(main->Label14->text(), "29.5");
    EXPECT_EQ(main->Edit1->text(), number);

    failPrinting = false;
    clearBoxes();
    print();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(jobs.size(), 1);
    EXPECT_EQ(column("SELECT count(*) FROM xsmx"), QStringList{"3"});
}

TEST_F(PrintAction, FailureWhileRecordingLeavesNoHalfReceipt) {
    threeLines();
    // A receipt number longer than the column holds: refused when the receipt row is
    // written, after printing.
    main->Edit1->setText(QString(60, '9'));
    print();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].isError);
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), QStringList{"0"});
    EXPECT_EQ(column("SELECT count(*) FROM xsmx"), QStringList{"0"});
    EXPECT_EQ(tillColumn("SELECT count(*) FROM xsxx"), QStringList{"3"});
    EXPECT_EQ(main->ADOQuery2.recordCount(), 3);
    EXPECT_EQ(main->DBGridEh1->model()->rowCount(), 3);
}

TEST_F(PrintAction, F5PrintsFromAnyWindowAsTheButtonDoes) {
    // Empty sale: the same warning as the button, also from another window.
    QTest::keyClick(forms().xt, Qt::Key_F5);
    EXPECT_EQ(boxTexts(), QStringList{"打印信息为空！"});
    clearBoxes();

    threeLines();
    main->CheckBox3->setChecked(false);
    main->CheckBox2->setChecked(false);
    QTest::keyClick(main, Qt::Key_F5);
    EXPECT_TRUE(boxes.empty()) << boxTexts().join('|').toStdString();
    EXPECT_EQ(jobs, QStringList{"QuickRep1"});
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), QStringList{"1"});
    EXPECT_EQ(column("SELECT count(*) FROM xsmx"), QStringList{"3"});
}

TEST_F(PrintAction, PreviewShowsTheChosenVariant) {
    struct Case {
        bool customer, phone;
        int page;
    } cases[] = {{false, false, 0}, {true, false, 1}, {true, true, 2}};
    for (const Case &c : cases) {
        main->CheckBox3->setChecked(c.phone);
        main->CheckBox2->setChecked(c.customer);
        int shown = -1;
        QTimer::singleShot(0, [&] {
            QWidget *w = QApplication::activeModalWidget();
            ASSERT_EQ(w, forms().dy58);
            shown = forms().dy58->PageControl1->currentIndex();
            w->close();
        });
        QTest::mouseClick(main->SpeedButton5, Qt::LeftButton);
        EXPECT_EQ(shown, c.page);
    }
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), QStringList{"0"});
}

} // namespace
