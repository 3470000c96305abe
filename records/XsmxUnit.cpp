#include "XsmxUnit.h"

#include "Forms.h"
#include "Handlers.h"
#include "WindowSetup.h"
#include "XstjUnit.h"

TXsmxForm::TXsmxForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 901, 559);
    DBGridEh1->setColumns({
        {QStringLiteral("序号"), QString(), 50},
        {QStringLiteral("客户"), QStringLiteral("客户"), 100},
        {QStringLiteral("电话"), QStringLiteral("电话"), 120},
        {QStringLiteral("品名"), QStringLiteral("品名"), 200},
        {QStringLiteral("单价"), QStringLiteral("单价"), 70, GridColumn::Number},
        {QStringLiteral("数量"), QStringLiteral("数量"), 80, GridColumn::Number, true},
        {QStringLiteral("金额"), QStringLiteral("金额"), 105, GridColumn::Number, true},
        {QStringLiteral("折后"), QStringLiteral("折后"), 105, GridColumn::Number, true},
    });
    DBGridEh1->setNumberEmptyRows(false);
    DBGridEh1->setFooterVisible(true);
    DBGridEh1->setQuery(&ADOQuery1);

    // The lines are loaded by the statistics window before every showing; nothing of
    // the (long) history of lines is read at start-up.
    ADOConnection1.open();
    ADOQuery1.setSql(QStringLiteral("select * from xsmx"));
}

void TXsmxForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    runHandler(this, [this] { FormShow(); });
}

void TXsmxForm::FormShow() {
    setWindowTitle(QStringLiteral("单号：") + forms().xstj->Edit1->text());
}
