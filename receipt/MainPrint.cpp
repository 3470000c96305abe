// The print and preview actions of the main window.
#include "MainUnit.h"

#include "Clock.h"
#include "Dy58Unit.h"
#include "Dy76Unit.h"
#include "Forms.h"
#include "Messages.h"

#include <optional>

namespace {

void setText(Report::Printable *label, const QString &text) {
    if (label)
        label->setText(text);
}

constexpr ReceiptVariant kVariants[] = {ReceiptVariant::Plain, ReceiptVariant::Customer,
                                        ReceiptVariant::CustomerPhone};

} // namespace

std::optional<ReceiptVariant> TMainForm::chosenVariant() const {
    const bool customer = CheckBox2->isChecked();
    const bool phone = CheckBox3->isChecked();
    if (!customer && !phone)
        return ReceiptVariant::Plain;
    if (customer && !phone)
        return ReceiptVariant::Customer;
    if (customer && phone)
        return ReceiptVariant::CustomerPhone;
    return std::nullopt;
}

void TMainForm::printReceipt(ReceiptForm &form, int base, int basePhone) {
    const int remarkLines = remarkLineCount(Memo1->toPlainText());
    const int rows = ADOQuery2.recordCount();
    form.FormCreate(); // reads what this window wrote to xsxx, and the print content
    const int length = pageLength(remarkLines, CheckBox3->isChecked() ? basePhone : base, rows);
    for (const ReceiptVariant v : kVariants) {
        ReceiptReport &report = form.report(v);
        report.setRemarksHeight(remarkLineHeight * remarkLines);
        report.setPageLength(length);
        const ReceiptReport::Parts &l = report.parts();
        setText(l.cashier, ComboBox6->currentText());
        setText(l.number, Edit1->text());
        setText(l.time, Edit2->text());
        setText(l.customer, Edit9->text());
        setText(l.phone, Edit10->text());
        setText(l.totalQuantity, Label13->text());
        setText(l.totalAmount, Label14->text());
        setText(l.due, Label15->text());
        setText(l.paid, ComboBox4->currentText());
        setText(l.change, Edit6->text());
    }
    const std::optional<ReceiptVariant> variant = chosenVariant();
    const QString copies = ComboBox3->currentText();
    const int jobs = copies == QLatin1String("1") ? 1 : copies == QLatin1String("2") ? 2 : 0;
    if (!variant)
        return;
    for (int i = 0; i < jobs; ++i)
        form.report(*variant).print();
}

void TMainForm::recordSale() {
    if (!ADOQuery5.isOpen())
        ADOQuery5.open();
    // The receipt row, its line rows and the emptying of the sale are kept together:
    // after a failure the records are complete or absent and the sale is still there.
    Transaction transaction(ADOConnection1);
    ADOQuery4.append();
    ADOQuery4.setField(QStringLiteral("单号"), Edit1->text());
    ADOQuery4.setField(QStringLiteral("时间"), Edit2->text());
    ADOQuery4.setField(QStringLiteral("数量"), Label13->text());
    ADOQuery4.setField(QStringLiteral("金额"), Label14->text());
    ADOQuery4.setField(QStringLiteral("折后"), Label15->text());
    ADOQuery4.setField(QStringLiteral("收银员"), ComboBox6->currentText());
    ADOQuery4.post();

    for (ADOQuery2.first(); !ADOQuery2.eof(); ADOQuery2.next()) {
        ADOQuery5.append();
        ADOQuery5.setField(QStringLiteral("单号"), Edit1->text());
        ADOQuery5.setField(QStringLiteral("时间"), Edit2->text());
        ADOQuery5.setField(QStringLiteral("客户"), Edit9->text());
        ADOQuery5.setField(QStringLiteral("电话"), Edit10->text());
        for (const char *column : {"品名", "单价", "数量", "金额", "折后"}) {
            const QString name = QString::fromUtf8(column);
            ADOQuery5.setField(name, ADOQuery2.fieldText(name));
        }
        ADOQuery5.post();
    }

    ADOQuery2.first();
    while (!ADOQuery2.eof())
        ADOQuery2.remove();
    transaction.commit();

    Label13->setText(QStringLiteral("0"));
    Label14->setText(QStringLiteral("0"));
    Label15->setText(QStringLiteral("0"));
    setPaidText(QString());
    Edit6->clear();
    Edit9->clear();
    Edit1->setText(receiptNumber());
}

void TMainForm::SpeedButton6Click() {
    if (ADOQuery2.recordCount() == 0) {
        Messages::show(this, QStringLiteral("打印信息为空！"), Messages::Icon::Warning);
        return;
    }
    if (ComboBox5->currentText() == QLatin1String("58"))
        printReceipt(*forms().dy58, pageBase58, pageBase58Phone);
    if (ComboBox5->currentText() == QLatin1String("76"))
        printReceipt(*forms().dy76, pageBase76, pageBase76Phone);
    recordSale();
}

void TMainForm::SpeedButton5Click() {
    if (const std::optional<ReceiptVariant> variant = chosenVariant()) {
        for (ReceiptForm *f :
             {static_cast<ReceiptForm *>(forms().dy58), static_cast<ReceiptForm *>(forms().dy76)})
            f->showPage(*variant);
    }
    if (ComboBox5->currentText() == QLatin1String("58"))
        forms().dy58->exec();
    if (ComboBox5->currentText() == QLatin1String("76"))
        forms().dy76->exec();
}
