// The program without a screen, for the fault and concurrency tests: it creates the
// windows on the data.mdb of a directory and performs one operation through the
// windows' own handlers, as a user would, then ends. Built with the store that can
// be told to die after its N-th write (RECEIPT_CRASH_AFTER_WRITES).
//
//   reliability_driver DIR prepare          fresh data.mdb with goods, users, a receipt
//   reliability_driver DIR run OPERATION    three lines of a current sale (the sale
//                                           lives in the program's memory), then one of
//                                           operations() below: RECEIPT_CRASH_AFTER_WRITES
//                                           counts only the operation's writes
//   reliability_driver DIR check            start and end the program on the file
//   reliability_driver DIR sales COUNT TAG  settle COUNT sales of two lines each; the
//                                           receipt numbers start with TAG's year
//
// Exit status: 0 done, 3 an error box was shown (its text goes to stderr), 2 usage.
#include "Clock.h"
#include "Create.h"
#include "Database.h"
#include "Forms.h"
#include "MainUnit.h"
#include "Messages.h"
#include "Report.h"
#include "SptjUnit.h"
#include "SpxgUnit.h"
#include "Startup.h"
#include "XstjUnit.h"
#include "XtUnit.h"
#include "YhtjUnit.h"
#include "YhxgUnit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <functional>
#include <map>

namespace {

bool errorShown = false;

void click(QAbstractButton *button) {
    button->click();
}

TMainForm *mainWindow() {
    return forms().main;
}

void addLine(const QString &name, const QString &price, const QString &quantity) {
    TMainForm *m = mainWindow();
    m->ComboBox1->setEditText(name);
    m->Edit3->setText(price);
    m->Edit4->setText(quantity);
    m->ComboBox2->setEditText(QStringLiteral("9"));
    QTest::keyClick(m->Edit4, Qt::Key_End); // the key release computes the line
    click(m->SpeedButton2);
}

void selectLine(int row) {
    QTableView *grid = mainWindow()->DBGridEh1;
    const QRect r = grid->visualRect(grid->model()->index(row, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
}

void settle() {
    mainWindow()->ComboBox6->setEditText(QStringLiteral("张三"));
    click(mainWindow()->SpeedButton6);
}

// Moves a settings-window list to the row whose `field` is `text`.
void moveTo(Query &query, const QString &field, const QString &text) {
    for (int r = 0; r < query.recordCount(); ++r) {
        query.moveTo(r);
        if (query.fieldText(field) == text)
            return;
    }
}

const std::map<QString, std::function<void()>> &operations() {
    static const std::map<QString, std::function<void()>> all = {
        {QStringLiteral("settle"), [] { settle(); }},
        {QStringLiteral("add-line"),
         [] { addLine(QStringLiteral("葡萄"), QStringLiteral("8.8"), QStringLiteral("2")); }},
        {QStringLiteral("add-line-new-goods"),
         [] { addLine(QStringLiteral("新货"), QStringLiteral("1.5"), QStringLiteral("4")); }},
        {QStringLiteral("modify-line"),
         [] {
             selectLine(1);
             TMainForm *m = mainWindow();
             m->Edit3->setText(QStringLiteral("3.2")); // the goods' price changes too
             m->Edit4->setText(QStringLiteral("7"));
             QTest::keyClick(m->Edit4, Qt::Key_End);
             click(m->SpeedButton3);
         }},
        {QStringLiteral("delete-line"),
         [] {
             selectLine(1);
             click(mainWindow()->SpeedButton4);
         }},
        {QStringLiteral("add-user"),
         [] {
             TYhtjForm *d = forms().yhtj;
             d->Edit1->setText(QStringLiteral("李四"));
             d->Edit2->setText(QStringLiteral("pw-李四"));
             d->ComboBox1->setCurrentIndex(1);
             click(d->SpeedButton1);
         }},
        {QStringLiteral("modify-user"),
         [] {
             TXtForm *xt = forms().xt;
             moveTo(xt->ADOQuery1, QStringLiteral("用户名"), QStringLiteral("clerk"));
             TYhxgForm *d = forms().yhxg;
             d->Edit1->setText(QStringLiteral("clerk"));
             d->Edit2->setText(QStringLiteral("old-pw"));
             d->Edit3->setText(QStringLiteral("new-pw"));
             d->Edit4->setText(QStringLiteral("普通用户"));
             d->ComboBox1->setCurrentIndex(0);
             d->ComboBox1->setEnabled(true);
             click(d->SpeedButton1);
         }},
        {QStringLiteral("delete-user"),
         [] {
             TXtForm *xt = forms().xt;
             moveTo(xt->ADOQuery1, QStringLiteral("用户名"), QStringLiteral("clerk"));
             click(xt->SpeedButton3);
         }},
        {QStringLiteral("add-goods"),
         [] {
             TSptjForm *d = forms().sptj;
             d->Edit1->setText(QStringLiteral("西瓜"));
             d->Edit2->setText(QStringLiteral("2.25"));
             click(d->SpeedButton1);
         }},
        {QStringLiteral("modify-goods"),
         [] {
             TXtForm *xt = forms().xt;
             moveTo(xt->ADOQuery2, QStringLiteral("品名"), QStringLiteral("香蕉"));
             TSpxgForm *d = forms().spxg;
             d->Edit1->setText(QStringLiteral("香蕉"));
             d->Edit2->setText(QStringLiteral("3.5"));
             click(d->SpeedButton1);
         }},
        {QStringLiteral("delete-goods"),
         [] {
             TXtForm *xt = forms().xt;
             moveTo(xt->ADOQuery2, QStringLiteral("品名"), QStringLiteral("香蕉"));
             click(xt->SpeedButton6);
         }},
        {QStringLiteral("save-print-content"),
         [] {
             TXtForm *xt = forms().xt;
             xt->Edit1->setText(QStringLiteral("新店名"));
             xt->Memo1->setPlainText(QStringLiteral("第一行\n第二行"));
             click(xt->SpeedButton7);
         }},
        {QStringLiteral("delete-receipt"),
         [] {
             TXstjForm *list = forms().xstj;
             click(list->SpeedButton3); // lists every receipt
             list->ADOQuery1.moveTo(0);
             click(list->SpeedButton4);
         }},
    };
    return all;
}

void prepare(const QString &dir) {
    createDatabase(QDir(dir).filePath(QStringLiteral("data.mdb")));
    createForms();
    forms().main->show();
    TSptjForm *goods = forms().sptj;
    for (const auto &[name, price] : {std::pair{"苹果", "12.5"}, {"香蕉", "3"}, {"梨", "0.5"}}) {
        goods->Edit1->setText(QString::fromUtf8(name));
        goods->Edit2->setText(QString::fromUtf8(price));
        click(goods->SpeedButton1);
    }
    TYhtjForm *users = forms().yhtj;
    users->Edit1->setText(QStringLiteral("clerk"));
    users->Edit2->setText(QStringLiteral("old-pw"));
    users->ComboBox1->setCurrentIndex(1);
    click(users->SpeedButton1);
    // One receipt already recorded.
    addLine(QStringLiteral("苹果"), QStringLiteral("12.5"), QStringLiteral("2"));
    addLine(QStringLiteral("梨"), QStringLiteral("0.5"), QStringLiteral("3"));
    settle();
}

// The three lines of the sale in hand, at the goods' own prices: the file's rows stay
// as they are.
void currentSale() {
    addLine(QStringLiteral("苹果"), QStringLiteral("12.5"), QStringLiteral("1"));
    addLine(QStringLiteral("香蕉"), QStringLiteral("3"), QStringLiteral("2"));
    addLine(QStringLiteral("梨"), QStringLiteral("0.5"), QStringLiteral("5"));
}

int usage() {
    std::fputs("usage: reliability_driver DIR prepare|check|run OPERATION|sales COUNT TAG\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return usage();
    const QString dir = args[1];
    const QString command = args[2];
    QDir::setCurrent(dir);
    Store::setDataDirectory(dir);

    Messages::setAnswerer([](const Messages::Box &box) {
        if (box.isError || box.icon == Messages::Icon::Error) {
            errorShown = true;
            std::fprintf(stderr, "error box: %s\n", box.text.toUtf8().constData());
        }
        return true;
    });
    // Printing goes nowhere; what is recorded is what counts here.
    Report::setPrintSink([](Report::BandedReport &) {});
    // A fixed clock, one second further at every look, so that runs repeat exactly
    // and every receipt has its own number. `sales` runs start in the year TAG.
    // The prepared receipt is of another year than those of later runs.
    int year = command == QLatin1String("prepare") ? 2029 : 2030;
    if (command == QLatin1String("sales") && args.size() >= 5)
        year = args[4].toInt();
    auto start = std::make_shared<QDateTime>(QDate(year, 1, 1), QTime(8, 0, 0));
    Clock::setSource([start] {
        *start = start->addSecs(1);
        return *start;
    });

    try {
        if (command == QLatin1String("prepare")) {
            prepare(dir);
        } else if (command == QLatin1String("check")) {
            createForms();
            forms().main->show();
        } else if (command == QLatin1String("run") && args.size() >= 4) {
            const auto op = operations().find(args[3]);
            if (op == operations().end())
                return usage();
            // The crash point counts the operation's writes, not the sale's.
            const QByteArray crashAfter = qgetenv("RECEIPT_CRASH_AFTER_WRITES");
            qunsetenv("RECEIPT_CRASH_AFTER_WRITES");
            createForms();
            forms().main->show();
            currentSale();
            if (!crashAfter.isEmpty())
                qputenv("RECEIPT_CRASH_AFTER_WRITES", crashAfter);
            op->second();
        } else if (command == QLatin1String("sales") && args.size() >= 5) {
            createForms();
            forms().main->show();
            const int count = args[3].toInt();
            for (int i = 0; i < count; ++i) {
                addLine(QStringLiteral("货%1-%2").arg(year).arg(i), QStringLiteral("2"),
                        QStringLiteral("1"));
                addLine(QStringLiteral("货%1-%2b").arg(year).arg(i), QStringLiteral("3"),
                        QStringLiteral("2"));
                settle();
            }
        } else {
            return usage();
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 4;
    }
    destroyForms();
    return errorShown ? 3 : 0;
}
