// The printed receipts: page sizes, the lines each variant prints, number forms,
// continuation pages, and the remark line count.
#include "Dy58Unit.h"
#include "Dy76Unit.h"
#include "Forms.h"
#include "Pdf.h"
#include "PrintError.h"
#include "ReceiptLayout.h"
#include "TestEnv.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTabBar>
#include <cmath>

namespace {

const char *widthName(ReceiptWidth w) {
    return w == ReceiptWidth::Mm58 ? "58" : "76";
}

} // namespace

class ReceiptTest : public FormsTest {
protected:
    ReceiptForm &form(ReceiptWidth width) {
        if (width == ReceiptWidth::Mm58)
            return *forms().dy58;
        return *forms().dy76;
    }

    void addLine(const QString &name, const QString &price, const QString &quantity,
                 const QString &amount) {
        tillSql(QStringLiteral("insert into xsxx (单号, 时间, 品名, 单价, 数量, 金额, 折后) values "
                           "('20240101120000', '2024-01-01 12:00:00', '%1', %2, %3, %4, %4)")
                .arg(name, price, quantity, amount));
    }

    void setPrintContent(const QString &shop, const QString &remarks) {
        sql(QStringLiteral("update dynr set 店名 = '%1', 备注 = '%2'").arg(shop, remarks));
    }

    // What the print action does before it prints: reconnect, heights and lengths by
    // the page-length rule, the value labels.
    void prepare(ReceiptForm &f, const QString &remarks, int base) {
        f.FormCreate();
        const int l = remarkLineCount(remarks);
        const int n = f.ADODataSet1.recordCount();
        for (ReceiptReport *r : {&f.QuickRep1, &f.QuickRep2, &f.QuickRep3}) {
            r->setRemarksHeight(17 * l);
            r->setPageLength(pageLength(l, base, n));
        }
        for (auto *label : {f.QRLabel2, f.QRLabel25, f.QRLabel50})
            label->setText(QStringLiteral("张三"));
        for (auto *label : {f.QRLabel4, f.QRLabel27, f.QRLabel52})
            label->setText(QStringLiteral("20240101120000"));
        for (auto *label : {f.QRLabel6, f.QRLabel29, f.QRLabel54})
            label->setText(QStringLiteral("2024-01-01 12:00:00"));
        f.QRLabel31->setText(QStringLiteral("李四"));
        f.QRLabel56->setText(QStringLiteral("李四"));
        f.QRLabel58->setText(QStringLiteral("13800000000"));
        for (auto *label : {f.QRLabel12, f.QRLabel37, f.QRLabel64})
            label->setText(QStringLiteral("4"));
        for (auto *label : {f.QRLabel13, f.QRLabel38, f.QRLabel65})
            label->setText(QStringLiteral("37.5"));
        for (auto *label : {f.QRLabel15, f.QRLabel40, f.QRLabel67})
            label->setText(QStringLiteral("36"));
        for (auto *label : {f.QRLabel17, f.QRLabel42, f.QRLabel69})
            label->setText(QStringLiteral("50"));
        for (auto *label : {f.QRLabel19, f.QRLabel44, f.QRLabel71})
            label->setText(QStringLiteral("14"));
    }

    Pdf print(ReceiptReport &report, const QString &name = QStringLiteral("receipt")) {
        const QString file = path(name + QStringLiteral(".pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        report.print(printer);
        return readPdf(file);
    }
};

// ---------------------------------------------------------------------------
// Page size: the page-length rule, the width of the form, whole points.

struct PageCase {
    ReceiptWidth width;
    ReceiptVariant variant;
    const char *remarks;
    int base;
    int rows;
    int pixels; // page length
    double millimetres;
};

TEST_F(ReceiptTest, PageSizeFollowsTheLengthRuleAndTheFormWidth) {
    const PageCase cases[] = {
        {ReceiptWidth::Mm58, ReceiptVariant::Plain, "欢迎光临\n谢谢惠顾", pageBase58, 3, 409,
         108.21},
        {ReceiptWidth::Mm58, ReceiptVariant::Plain, "欢迎光临", pageBase58, 1, 342, 90.49},
        {ReceiptWidth::Mm58, ReceiptVariant::CustomerPhone, "欢迎光临", pageBase58Phone, 1, 362,
         95.78},
        {ReceiptWidth::Mm76, ReceiptVariant::Plain, "欢迎光临", pageBase76, 1, 338, 89.43},
        {ReceiptWidth::Mm76, ReceiptVariant::Customer, "欢迎光临", pageBase76, 1, 338, 89.43},
        {ReceiptWidth::Mm76, ReceiptVariant::CustomerPhone, "欢迎光临", pageBase76Phone, 1, 361,
         95.51},
        {ReceiptWidth::Mm58, ReceiptVariant::Customer, "", pageBase58, 2, 350, 92.6},
        {ReceiptWidth::Mm76, ReceiptVariant::Plain, "一\n二\n三", pageBase76, 2, 397, 105.04},
    };
    int i = 0;
    for (const PageCase &c : cases) {
        SCOPED_TRACE(testing::Message() << widthName(c.width) << " mm, variant "
                                        << int(c.variant) + 1 << ", " << c.pixels << " px");
        tillSql(QStringLiteral("delete from xsxx"));
        for (int r = 0; r < c.rows; ++r)
            addLine(QStringLiteral("货品%1").arg(r + 1), QStringLiteral("2"), QStringLiteral("1"),
                    QStringLiteral("2"));
        setPrintContent(QStringLiteral("小店"), QString::fromUtf8(c.remarks));
        ReceiptForm &f = form(c.width);
        prepare(f, QString::fromUtf8(c.remarks), c.base);
        ReceiptReport &report = f.report(c.variant);
        EXPECT_EQ(report.pageLength(), c.pixels);
        EXPECT_NEAR(Report::toMillimetres(c.pixels), c.millimetres, 0.005);

        const Pdf pdf = print(report, QStringLiteral("page%1").arg(i++));
        ASSERT_EQ(pdf.sizes.size(), 1);
        // The printer keeps page sizes in whole points: within half a point of the
        // exact size.
        const double width = c.width == ReceiptWidth::Mm58 ? 219 : 287;
        EXPECT_NEAR(pdf.sizes[0].width(), width * 72 / 96, 0.5);
        EXPECT_NEAR(pdf.sizes[0].height(), c.pixels * 72.0 / 96, 0.5);
        EXPECT_EQ(pdf.sizes[0].width(), std::round(pdf.sizes[0].width()));
        EXPECT_EQ(pdf.sizes[0].height(), std::round(pdf.sizes[0].height()));
        // The whole receipt is on it.
        EXPECT_TRUE(pdf.all().contains(QStringLiteral("找零金额：")));
    }
}

// ---------------------------------------------------------------------------
// The lines of each variant.

TEST_F(ReceiptTest, EachVariantPrintsItsHeaderLines) {
    addLine(QStringLiteral("苹果"), QStringLiteral("12.5"), QStringLiteral("3"),
            QStringLiteral("37.5"));
    setPrintContent(QStringLiteral("好运来便利店"), QStringLiteral("欢迎光临\n谢谢惠顾"));
    struct Case {
        ReceiptVariant variant;
        bool customer;
        bool phone;
    };
    const Case variants[] = {{ReceiptVariant::Plain, false, false},
                             {ReceiptVariant::Customer, true, false},
                             {ReceiptVariant::CustomerPhone, true, true}};
    int i = 0;
    for (ReceiptWidth width : {ReceiptWidth::Mm58, ReceiptWidth::Mm76}) {
        ReceiptForm &f = form(width);
        prepare(f, QStringLiteral("欢迎光临\n谢谢惠顾"),
                width == ReceiptWidth::Mm58 ? pageBase58Phone : pageBase76Phone);
        for (const Case &c : variants) {
            SCOPED_TRACE(testing::Message()
                         << widthName(width) << " mm, variant " << int(c.variant) + 1);
            const QString text = print(f.report(c.variant), QStringLiteral("v%1").arg(i++)).all();

            // First line: the cashier between two runs of dashes.
            const QString cashier = lineWith(text, QStringLiteral("收银员："));
            EXPECT_TRUE(cashier.contains(QStringLiteral("张三"))) << cashier.toStdString();
            EXPECT_TRUE(cashier.trimmed().startsWith(QStringLiteral("---")))
                << cashier.toStdString();
            EXPECT_TRUE(cashier.trimmed().endsWith(QStringLiteral("---"))) << cashier.toStdString();

            EXPECT_TRUE(text.contains(QStringLiteral("好运来便利店")));
            EXPECT_TRUE(lineWith(text, QStringLiteral("单号："))
                            .contains(QStringLiteral("20240101120000")));
            EXPECT_TRUE(lineWith(text, QStringLiteral("时间："))
                            .contains(QStringLiteral("2024-01-01 12:00:00")));
            EXPECT_EQ(text.contains(QStringLiteral("客户：")), c.customer);
            EXPECT_EQ(text.contains(QStringLiteral("李四")), c.customer);
            EXPECT_EQ(text.contains(QStringLiteral("电话：")), c.phone);
            EXPECT_EQ(text.contains(QStringLiteral("13800000000")), c.phone);

            const QString heads = lineWith(text, QStringLiteral("品名"));
            EXPECT_TRUE(QRegularExpression(QStringLiteral("品名\\s+单价\\s+数量\\s+金额"))
                            .match(heads)
                            .hasMatch())
                << heads.toStdString();
            for (const char *prompt : {"合计：", "应收金额：", "实收金额：", "找零金额："})
                EXPECT_TRUE(text.contains(QString::fromUtf8(prompt))) << prompt;
            EXPECT_TRUE(text.contains(QStringLiteral("欢迎光临")));
            EXPECT_TRUE(text.contains(QStringLiteral("谢谢惠顾")));
            // The customer and phone lines come between the time and the column heads.
            if (c.phone) {
                EXPECT_LT(text.indexOf(QStringLiteral("客户：")),
                          text.indexOf(QStringLiteral("电话：")));
            }
            if (c.customer) {
                EXPECT_LT(text.indexOf(QStringLiteral("时间：")),
                          text.indexOf(QStringLiteral("客户：")));
                EXPECT_LT(text.indexOf(QStringLiteral("客户：")), text.indexOf(heads));
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Detail numbers in "0.00", totals exactly as written.

TEST_F(ReceiptTest, DetailNumbersHaveTwoDecimalsAndTotalsPrintAsWritten) {
    addLine(QStringLiteral("苹果"), QStringLiteral("12.5"), QStringLiteral("3"),
            QStringLiteral("37.5"));
    addLine(QStringLiteral("西瓜"), QStringLiteral("1234.5"), QStringLiteral("0"),
            QStringLiteral("0"));
    addLine(QStringLiteral("赠品"), QStringLiteral("NULL"), QStringLiteral("1"),
            QStringLiteral("NULL"));
    setPrintContent(QStringLiteral("小店"), QStringLiteral("谢谢"));
    for (ReceiptWidth width : {ReceiptWidth::Mm58, ReceiptWidth::Mm76}) {
        SCOPED_TRACE(widthName(width));
        ReceiptForm &f = form(width);
        prepare(f, QStringLiteral("谢谢"), width == ReceiptWidth::Mm58 ? pageBase58 : pageBase76);
        const QString text = print(f.QuickRep1, QStringLiteral("n%1").arg(widthName(width))).all();

        // The goods name above, its numbers below it.
        const QStringList lines = text.split(QLatin1Char('\n'));
        const auto numbersUnder = [&](const QString &name) {
            for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
                if (lines[i].trimmed() == name)
                    return lines[i + 1].simplified();
            }
            return QString();
        };
        EXPECT_EQ(numbersUnder(QStringLiteral("苹果")), QStringLiteral("12.50 3.00 37.50"));
        EXPECT_EQ(numbersUnder(QStringLiteral("西瓜")), QStringLiteral("1234.50 0.00 0.00"));
        EXPECT_EQ(numbersUnder(QStringLiteral("赠品")), QStringLiteral("0.00 1.00 0.00"));

        EXPECT_EQ(lineWith(text, QStringLiteral("合计：")).simplified(),
                  QStringLiteral("合计： 4 37.5"));
        EXPECT_EQ(lineWith(text, QStringLiteral("应收金额：")).simplified(),
                  QStringLiteral("应收金额：36"));
        EXPECT_EQ(lineWith(text, QStringLiteral("实收金额：")).simplified(),
                  QStringLiteral("实收金额：50"));
        EXPECT_EQ(lineWith(text, QStringLiteral("找零金额：")).simplified(),
                  QStringLiteral("找零金额：14"));
    }
}

TEST(ReceiptNumberText, PrintsTheFieldAsANumberWithTwoDecimals) {
    const std::pair<const char *, const char *> cases[] = {
        {"12.5", "12.50"},          {"3", "3.00"},     {"", "0.00"},
        {"1234.5", "1234.50"},      {"0", "0.00"},     {"abc", "0.00"},
        {"-1.5", "-1.50"},          {"0.125", "0.13"}, {"1E-5", "0.00"},
        {"99999.995", "100000.00"},
    };
    for (const auto &[field, printed] : cases)
        EXPECT_EQ(receiptNumberText(QString::fromUtf8(field)), QString::fromUtf8(printed)) << field;
}

// ---------------------------------------------------------------------------
// Remarks block and page flow.

TEST_F(ReceiptTest, RemarkLinesPrintOneUnderTheOther) {
    addLine(QStringLiteral("苹果"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"));
    const QString remarks = QStringLiteral("第一行\r\n第二行\r\n第三行");
    setPrintContent(QStringLiteral("小店"), remarks);
    ReceiptForm &f = *forms().dy58;
    prepare(f, remarks, pageBase58);
    EXPECT_EQ(f.QuickRep2.remarksHeight(), 51);
    EXPECT_EQ(f.QuickRep2.pageLength(), 17 * 3 + 300 + 25);
    const Pdf pdf = print(f.QuickRep2);
    ASSERT_EQ(pdf.sizes.size(), 1);
    const QString text = pdf.all();
    const qsizetype one = text.indexOf(QStringLiteral("第一行"));
    const qsizetype two = text.indexOf(QStringLiteral("第二行"));
    const qsizetype three = text.indexOf(QStringLiteral("第三行"));
    ASSERT_GE(one, 0);
    EXPECT_LT(one, two);
    EXPECT_LT(two, three);
    EXPECT_NE(lineWith(text, QStringLiteral("第一行")), lineWith(text, QStringLiteral("第二行")));
    EXPECT_EQ(f.QRRichText2->lines(),
              (QStringList{QStringLiteral("第一行"), QStringLiteral("第二行"),
                           QStringLiteral("第三行")}));
}

TEST_F(ReceiptTest, NoRemarksAndNoPrintContentRowPrintTheRest) {
    addLine(QStringLiteral("苹果"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"));
    sql(QStringLiteral("delete from dynr"));
    ReceiptForm &f = *forms().dy76;
    prepare(f, QString(), pageBase76);
    EXPECT_EQ(f.QuickRep1.remarksHeight(), 0);
    EXPECT_EQ(f.QuickRep1.pageLength(), 296 + 25);
    const Pdf pdf = print(f.QuickRep1);
    ASSERT_EQ(pdf.sizes.size(), 1);
    EXPECT_TRUE(pdf.all().contains(QStringLiteral("找零金额：14")));
    EXPECT_TRUE(f.QRRichText1->lines().isEmpty());
}

TEST_F(ReceiptTest, LongSaleOnTheWideFormContinuesOnPagesOfTheSameSize) {
    // The rule gives 25 px a row, the wide form's detail band takes 30.
    struct Case {
        int rows;
        int firstPageRows; // the rest and the summary go to page 2
    };
    const Case cases[] = {{8, 8}, {30, 29}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rows);
        tillSql(QStringLiteral("delete from xsxx"));
        for (int r = 1; r <= c.rows; ++r)
            addLine(QStringLiteral("货品%1").arg(r, 2, 10, QLatin1Char('0')), QStringLiteral("1"),
                    QStringLiteral("1"), QStringLiteral("1"));
        setPrintContent(QStringLiteral("小店"), QStringLiteral("谢谢"));
        ReceiptForm &f = *forms().dy76;
        prepare(f, QStringLiteral("谢谢"), pageBase76);
        const Pdf pdf = print(f.QuickRep1, QStringLiteral("long%1").arg(c.rows));
        ASSERT_EQ(pdf.sizes.size(), 2);
        EXPECT_EQ(pdf.sizes[1], pdf.sizes[0]);
        EXPECT_NEAR(pdf.sizes[0].height(), (17 + 296 + 25 * c.rows) * 0.75, 0.5);

        const QString first = pdf.pages[0];
        const QString second = pdf.pages[1];
        EXPECT_TRUE(first.contains(QStringLiteral("单号：")));
        EXPECT_TRUE(first.contains(QStringLiteral("收银员：")));
        EXPECT_FALSE(first.contains(QStringLiteral("应收金额：")));
        // The title is not repeated.
        for (const char *title : {"收银员：", "单号：", "时间：", "品名", "小店"})
            EXPECT_FALSE(second.contains(QString::fromUtf8(title))) << title;
        EXPECT_TRUE(second.contains(QStringLiteral("应收金额：")));
        EXPECT_TRUE(second.contains(QStringLiteral("谢谢")));
        // Every row once, in order, the first rows on page 1.
        for (int r = 1; r <= c.rows; ++r) {
            const QString name = QStringLiteral("货品%1").arg(r, 2, 10, QLatin1Char('0'));
            const QString &page = r <= c.firstPageRows ? first : second;
            EXPECT_EQ(page.count(name), 1) << r;
            EXPECT_EQ((r <= c.firstPageRows ? second : first).count(name), 0) << r;
        }
    }
}

TEST_F(ReceiptTest, NarrowFormKeepsAReceiptOnOnePage) {
    for (int rows : {1, 20}) {
        for (const QString &remarks : {QString(), QStringLiteral("一\n二\n三\n四\n五")}) {
            SCOPED_TRACE(testing::Message() << rows << " rows, " << remarks.toStdString());
            tillSql(QStringLiteral("delete from xsxx"));
            for (int r = 0; r < rows; ++r)
                addLine(QStringLiteral("货品"), QStringLiteral("1"), QStringLiteral("1"),
                        QStringLiteral("1"));
            setPrintContent(QStringLiteral("小店"), remarks);
            ReceiptForm &f = *forms().dy58;
            for (bool phone : {false, true}) {
                prepare(f, remarks, phone ? pageBase58Phone : pageBase58);
                // QuickRep3 is printed only with the phone, so only with its base.
                for (ReceiptReport *r : {&f.QuickRep1, &f.QuickRep2, &f.QuickRep3}) {
                    if (r == &f.QuickRep3 && !phone)
                        continue;
                    EXPECT_EQ(r->renderToImages().size(), 1) << r->objectName().toStdString();
                }
            }
        }
    }
}

TEST_F(ReceiptTest, ReconnectReadsTheSaleAsItStandsNow) {
    addLine(QStringLiteral("苹果"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"));
    ReceiptForm &f = *forms().dy58;
    prepare(f, QString(), pageBase58);
    EXPECT_TRUE(print(f.QuickRep1, QStringLiteral("a")).all().contains(QStringLiteral("苹果")));
    addLine(QStringLiteral("香蕉"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_FALSE(print(f.QuickRep1, QStringLiteral("b")).all().contains(QStringLiteral("香蕉")));
    f.FormCreate();
    EXPECT_TRUE(print(f.QuickRep1, QStringLiteral("c")).all().contains(QStringLiteral("香蕉")));
}

// ---------------------------------------------------------------------------
// Printing failures.

TEST_F(ReceiptTest, AnOutputThatCannotBeWrittenIsAPrintingError) {
    addLine(QStringLiteral("苹果"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"));
    ReceiptForm &f = *forms().dy58;
    prepare(f, QString(), pageBase58);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path(QStringLiteral("missing/dir/receipt.pdf")));
    try {
        f.QuickRep1.print(printer);
        FAIL() << "no error";
    } catch (const PrintError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("打印失败"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("missing/dir/receipt.pdf"))) << e.what();
    }
}

// ---------------------------------------------------------------------------
// The report window.

TEST_F(ReceiptTest, WindowShowsEachVariantOnItsPageBehindThePanel) {
    struct Case {
        ReceiptWidth width;
        QPoint at;
        int pageWidth;
    };
    for (const Case &c :
         {Case{ReceiptWidth::Mm58, {62, 21}, 219}, Case{ReceiptWidth::Mm76, {22, 21}, 287}}) {
        SCOPED_TRACE(widthName(c.width));
        auto *window = c.width == ReceiptWidth::Mm58 ? static_cast<QDialog *>(forms().dy58)
                                                     : static_cast<QDialog *>(forms().dy76);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("打印预览"));
        EXPECT_EQ(window->size(), QSize(342, 442));
        auto *pages = window->findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        auto *panel = window->findChild<QWidget *>(QStringLiteral("Panel1"));
        ASSERT_TRUE(pages && panel);
        window->show();
        // The tabs lie under the panel.
        const QRect tabs(pages->tabBar()->mapTo(window, QPoint(0, 0)), pages->tabBar()->size());
        EXPECT_TRUE(panel->geometry().contains(tabs)) << tabs.bottom();
        for (int i = 0; i < 3; ++i) {
            const QString sheet = QStringLiteral("TabSheet%1").arg(i + 1);
            EXPECT_EQ(pages->widget(i)->objectName(), sheet);
            auto *view =
                pages->widget(i)->findChild<QWidget *>(QStringLiteral("QuickRep%1").arg(i + 1));
            ASSERT_TRUE(view) << sheet.toStdString();
            EXPECT_EQ(view->pos(), c.at);
            EXPECT_EQ(view->width(), c.pageWidth);
        }
        window->hide();
    }
}

TEST_F(ReceiptTest, DesignShowsLabelTextsAndFieldNames) {
    ReceiptForm &f = *forms().dy58;
    const auto design = [&](const QString &name) {
        const QString file = path(name);
        {
            QPdfWriter writer(file);
            writer.setResolution(96);
            writer.setPageSize(QPageSize(QSizeF(219 * 0.75, 400 * 0.75), QPageSize::Point));
            writer.setPageMargins(QMarginsF());
            QPainter painter(&writer);
            f.QuickRep3.renderDesign(painter);
        }
        return readPdf(file).all();
    };
    // Before the first print: the designed texts, fields by their column names.
    const QString before = design(QStringLiteral("before.pdf"));
    for (const char *text : {"收银员", "店名", "单号", "时间", "客户", "电话", "品名", "单价",
                             "数量", "金额", "折后", "实收", "找零"})
        EXPECT_TRUE(before.contains(QString::fromUtf8(text))) << text;
    // A written value label shows its text until the next print overwrites it.
    f.QRLabel50->setText(QStringLiteral("王五"));
    f.QRLabel67->setText(QStringLiteral("88.8"));
    const QString after = design(QStringLiteral("after.pdf"));
    EXPECT_TRUE(lineWith(after, QStringLiteral("收银员：")).contains(QStringLiteral("王五")));
    EXPECT_TRUE(lineWith(after, QStringLiteral("应收金额：")).contains(QStringLiteral("88.8")));
}

// ---------------------------------------------------------------------------
// Page length rule and remark line count.

TEST(PageLength, SeventeenPerRemarkLinePlusBasePlusTwentyFivePerRow) {
    const std::array<int, 4> cases[] = {
        // L, B, N, length
        {2, 300, 3, 409}, {1, 300, 1, 342}, {1, 320, 1, 362}, {1, 296, 1, 338},
        {1, 319, 1, 361}, {0, 300, 1, 325}, {3, 296, 0, 347},
    };
    for (const auto &[l, b, n, length] : cases)
        EXPECT_EQ(pageLength(l, b, n), length) << l << " " << b << " " << n;
}

TEST(RemarkLines, LinesAsTheRemarkMemoShowsThem) {
    const QString twentyHan = QString(20, QChar(0x6C49)); // 汉 × 20
    const QString fortyHan = QString(40, QChar(0x6C49));
    const std::pair<QString, int> cases[] = {
        {QString(), 0},
        {QStringLiteral("欢迎光临"), 1},
        {QStringLiteral("欢迎光临\n"), 1},
        {QStringLiteral("欢迎光临\r\n"), 1},
        {QStringLiteral("\n"), 1},
        {QStringLiteral("欢迎光临\n\n"), 2},
        {QStringLiteral("一\n\n三"), 3},
        {QStringLiteral("一\r\n二\r\n三"), 3},
        {twentyHan, 2},
        {fortyHan, 3},
        {twentyHan + QStringLiteral("\n谢谢"), 3},
    };
    for (const auto &[text, count] : cases)
        EXPECT_EQ(remarkLineCount(text), count) << text.toStdString();
}

TEST(RemarkLines, LongLinesBreakBetweenWordsWithinTheMemoWidth) {
    const QString sentence =
        QStringLiteral("Thank you for shopping with us, please come again soon");
    const QStringList lines = remarkLines(sentence);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.join(QString()), sentence);
    QFontMetricsF metrics(remarkMemoFont());
    for (const QString &line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line.trimmed()), remarkMemoTextWidth)
            << line.toStdString();
        // Broken at a space, not inside a word.
        EXPECT_TRUE(line == lines.last() || line.endsWith(QLatin1Char(' '))) << line.toStdString();
    }
    // A line that just fits stays one line.
    QString fits;
    while (metrics.horizontalAdvance(fits + QChar(0x6C49)) <= remarkMemoTextWidth)
        fits += QChar(0x6C49);
    EXPECT_EQ(remarkLineCount(fits), 1);
    EXPECT_EQ(remarkLineCount(fits + QChar(0x6C49)), 2);
}
