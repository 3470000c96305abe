#include "RecordsFixture.h"

#include "Conventions.h"
#include "DataGrid.h"
#include "Export.h"
#include "Forms.h"
#include "XstjUnit.h"

#include <QApplication>
#include <QTimer>

namespace {
QString literal(const char *text) {
    if (!text)
        return QStringLiteral("NULL");
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}
} // namespace

QStringList texts(std::initializer_list<const char *> list) {
    QStringList out;
    for (const char *t : list)
        out << QString::fromUtf8(t);
    return out;
}

void RecordsTest::TearDown() {
    ExportDialog::setChooser({});
    FormsTest::TearDown();
}

void RecordsTest::receipt(const char *number, const char *time, double quantity, double amount,
                          double discounted, const char *cashier) {
    sql(QStringLiteral("INSERT INTO xstj (单号, 时间, 数量, 金额, 折后, 收银员) "
                       "VALUES (%1, %2, %3, %4, %5, %6)")
            .arg(literal(number), literal(time))
            .arg(quantity, 0, 'g', 17)
            .arg(amount, 0, 'g', 17)
            .arg(discounted, 0, 'g', 17)
            .arg(literal(cashier)));
}

void RecordsTest::line(const char *number, const char *goods, double price, double quantity,
                       double amount, double discounted, const char *customer, const char *phone) {
    sql(QStringLiteral("INSERT INTO xsmx (单号, 时间, 客户, 电话, 品名, 单价, 数量, 金额, 折后) "
                       "VALUES (%1, '2024-01-01 08:30:00', %2, %3, %4, %5, %6, %7, %8)")
            .arg(literal(number), literal(customer), literal(phone), literal(goods))
            .arg(price, 0, 'g', 17)
            .arg(quantity, 0, 'g', 17)
            .arg(amount, 0, 'g', 17)
            .arg(discounted, 0, 'g', 17));
}

TXstjForm *RecordsTest::statistics() const {
    return forms().xstj;
}

DataGrid *RecordsTest::grid() const {
    return forms().xstj->DBGridEh1;
}

void RecordsTest::loadByTime() {
    TXstjForm *s = statistics();
    reconnect(s->ADOConnection1,
              {{&s->ADOQuery1, QStringLiteral("select * from xstj order by 时间 asc")}});
}

QStringList RecordsTest::shown(const DataGrid *grid, int column) {
    QStringList out;
    const QAbstractItemModel *model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, column).data().toString();
    return out;
}

QStringList RecordsTest::listed() const {
    return shown(grid(), 1);
}

bool RecordsTest::whileModal(const std::function<void()> &trigger,
                             const std::function<void(QWidget *)> &inside) {
    bool came = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        came = true;
        inside(modal);
        if (modal->isVisible())
            modal->close();
    });
    trigger();
    // The timer has fired by now when a window came up; when none did, let it run
    // (and find nothing) before the next test step.
    QCoreApplication::processEvents();
    return came;
}
