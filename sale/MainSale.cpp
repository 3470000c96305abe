// The entry line and the current sale of the main window.
#include "MainUnit.h"

#include "Conventions.h"
#include "Forms.h"
#include "ListFill.h"
#include "Messages.h"
#include "SaleMath.h"
#include "XtUnit.h"

#include <QSignalBlocker>

namespace {
const QString kSpxx = QStringLiteral("spxx");
const QString kName = QStringLiteral("品名");
} // namespace

// ---------------------------------------------------------------------------
// Entry line

void TMainForm::lineRecompute() {
    const auto amounts = lineAmounts(Edit3->text(), Edit4->text(), ComboBox2->currentText());
    if (!amounts)
        return;
    Edit11->setText(amounts->amount);
    Edit12->setText(amounts->discounted);
}

void TMainForm::ComboBox1Click() {
    // The goods whose name is exactly the chosen one, not one that merely contains it.
    if (ADOQuery1.recordCount() > 0 && !ComboBox1->currentText().isEmpty()) {
        exactLookup(ADOQuery1, kSpxx, kName, ComboBox1->currentText());
        Edit3->setText(ADOQuery1.fieldText(QStringLiteral("单价")));
        Edit3->setText(priceText(Edit3->text()));
        lineRecompute();
    }
    setPaidText(QString());
}

void TMainForm::Edit3KeyUp() {
    lineRecompute();
}

void TMainForm::Edit4KeyUp() {
    lineRecompute();
}

void TMainForm::ComboBox2KeyUp() {
    lineRecompute();
}

void TMainForm::ComboBox2Click() {
    lineRecompute();
}

void TMainForm::SpeedButton9Click() {
    if (Edit12->text().isEmpty())
        return;
    Edit12->setText(roundedOff(Edit12->text()));
}

// ---------------------------------------------------------------------------
// Current sale

void TMainForm::setPaidText(const QString &text) {
    // Set by the program: the paid field's own handlers do not run.
    const QSignalBlocker block(ComboBox4);
    ComboBox4->setEditText(text);
}

void TMainForm::resetEntryLine(bool amountsToo) {
    ComboBox1->setEditText(QString());
    Edit3->clear();
    Edit4->setText(QStringLiteral("1"));
    ComboBox2->setEditText(QStringLiteral("10"));
    if (amountsToo) {
        Edit11->clear();
        Edit12->clear();
    }
}

void TMainForm::mainReconnect() {
    reconnect(ADOConnection1, {{&ADOQuery1, QStringLiteral("select * from spxx")},
                               {&ADOQuery2, QStringLiteral("select * from xsxx")},
                               {&ADOQuery3, QStringLiteral("select * from dynr")},
                               {&ADOQuery4, QStringLiteral("select * from xstj")},
                               {&ADOQuery5, QStringLiteral("select * from xsmx")},
                               {&ADOQuery6, QStringLiteral("select * from id")},
                               {&ADOQuery7, QStringLiteral("select * from username")}});
}

void TMainForm::settingsReconnect() {
    forms().xt->reconnectWhenSeen();
}

void TMainForm::goodsListFill() {
    // The mark first: a change made while the list is read only makes the next add
    // read the list again.
    goodsListStamp_ = ADOConnection1.tableStamp(kSpxx);
    listFill(ComboBox1, ADOQuery1, kSpxx, kName);
}

bool TMainForm::goodsTableUpdate() {
    // The goods of exactly this name takes the entered price; a new name is appended.
    exactLookup(ADOQuery1, kSpxx, kName, ComboBox1->currentText());
    Edit7->setText(ADOQuery1.fieldText(kName));
    const bool known = ADOQuery1.recordCount() > 0 && ComboBox1->currentText() == Edit7->text();
    if (known) {
        ADOQuery1.edit();
    } else {
        ADOQuery1.append();
    }
    ADOQuery1.setField(kName, ComboBox1->currentText());
    ADOQuery1.setField(QStringLiteral("单价"), Edit3->text());
    ADOQuery1.post();
    return !known;
}

void TMainForm::writeSaleLine() {
    ADOQuery2.setField(QStringLiteral("单号"), Edit1->text());
    ADOQuery2.setField(QStringLiteral("时间"), Edit2->text());
    ADOQuery2.setField(kName, ComboBox1->currentText());
    ADOQuery2.setField(QStringLiteral("单价"), Edit3->text());
    ADOQuery2.setField(QStringLiteral("数量"), Edit4->text());
    ADOQuery2.setField(QStringLiteral("金额"), Edit11->text());
    ADOQuery2.setField(QStringLiteral("折后"), Edit12->text());
    ADOQuery2.post();
}

bool TMainForm::entryComplete() const {
    return !Edit3->text().isEmpty() && !Edit4->text().isEmpty() &&
           !ComboBox2->currentText().isEmpty();
}

void TMainForm::warnEmptyFields() {
    const auto warn = [this](const char *text) {
        Messages::show(this, QString::fromUtf8(text), Messages::Icon::Warning);
    };
    if (Edit3->text().isEmpty())
        warn("单价不能为空！");
    if (Edit4->text().isEmpty())
        warn("数量不能为空！");
    if (ComboBox2->currentText().isEmpty())
        warn("折扣不能为空！");
}

void TMainForm::totalsRefresh() {
    FixedSum quantity, amount, discounted;
    const int q = ADOQuery2.fieldIndex(QStringLiteral("数量"));
    const int a = ADOQuery2.fieldIndex(QStringLiteral("金额"));
    const int d = ADOQuery2.fieldIndex(QStringLiteral("折后"));
    const int rows = ADOQuery2.recordCount();
    for (int r = 0; r < rows; ++r) {
        if (const auto v = ADOQuery2.number(r, q))
            quantity.add(*v);
        if (const auto v = ADOQuery2.number(r, a))
            amount.add(*v);
        if (const auto v = ADOQuery2.number(r, d))
            discounted.add(*v);
    }
    Label13->setText(totalText(quantity));
    Label14->setText(totalText(amount));
    Label15->setText(totalText(discounted));
    setPaidText(totalText(amount));
    Edit6->setText(QStringLiteral("0"));
}

void TMainForm::SpeedButton2Click() {
    if (ComboBox1->currentText().isEmpty()) {
        Messages::show(this, QStringLiteral("品名不能为空！"), Messages::Icon::Warning);
        return;
    }
    mainReconnect();
    if (entryComplete()) {
        const QString name = ComboBox1->currentText();
        bool listed = false, appended = false;
        TableStamp written;
        {
            // The goods' price and the new line are kept together or not at all.
            Transaction transaction(ADOConnection1);
            // Nobody else writes while the transaction is open: the marks before and
            // after tell whether this write is the only change since the list was read.
            listed = ADOConnection1.tableStamp(kSpxx) == goodsListStamp_;
            appended = goodsTableUpdate();
            written = ADOConnection1.tableStamp(kSpxx);
            ADOQuery2.append();
            writeSaleLine();
            transaction.commit();
        }
        resetEntryLine(true);
        // The goods list is refilled after every line. With thousands of goods reading
        // them all again would cost more than the rest of the line, so when this
        // write is the only change since the list was read, the list takes just that
        // change: a new goods at its end, a new price nothing.
        if (listed) {
            listFillAfterWrite(ComboBox1, ADOQuery1, kSpxx, kName, appended ? name : QString());
            goodsListStamp_ = written;
        } else {
            goodsListFill();
        }
        SpeedButton3->setEnabled(false);
        SpeedButton4->setEnabled(false);
    } else {
        warnEmptyFields();
    }
    totalsRefresh();
    settingsReconnect();
}

void TMainForm::SpeedButton3Click() {
    // A line without a goods name is refused, as Add refuses it.
    if (ComboBox1->currentText().isEmpty()) {
        Messages::show(this, QStringLiteral("品名不能为空！"), Messages::Icon::Warning);
        return;
    }
    if (!entryComplete()) {
        warnEmptyFields();
        return;
    }
    {
        Transaction transaction(ADOConnection1);
        goodsTableUpdate();
        ADOQuery2.edit();
        writeSaleLine();
        transaction.commit();
    }
    resetEntryLine(true);
    totalsRefresh();
    settingsReconnect();
    SpeedButton2->setEnabled(true);
    SpeedButton3->setEnabled(false);
    SpeedButton4->setEnabled(false);
}

void TMainForm::SpeedButton4Click() {
    if (ADOQuery2.recordCount() == 0)
        return;
    ADOQuery2.remove();
    // The deleted line's amounts go too, and Add is offered again.
    resetEntryLine(true);
    totalsRefresh();
    SpeedButton2->setEnabled(true);
    SpeedButton3->setEnabled(false);
    SpeedButton4->setEnabled(false);
}

void TMainForm::DBGridEh1CellClick() {
    if (ADOQuery2.recordCount() == 0) {
        SpeedButton2->setEnabled(true);
        SpeedButton3->setEnabled(false);
        SpeedButton4->setEnabled(false);
        return;
    }
    SpeedButton2->setEnabled(false);
    SpeedButton3->setEnabled(true);
    SpeedButton4->setEnabled(true);
    ComboBox1->setEditText(ADOQuery2.fieldText(kName));
    Edit3->setText(priceText(ADOQuery2.fieldText(QStringLiteral("单价"))));
    Edit11->setText(ADOQuery2.fieldText(QStringLiteral("金额")));
    Edit12->setText(ADOQuery2.fieldText(QStringLiteral("折后")));
}

void TMainForm::ComboBox4KeyUp() {
    Edit6->setText(changeText(ComboBox4->currentText(), Label15->text()));
}

void TMainForm::ComboBox4Change() {
    Edit6->setText(changeText(ComboBox4->currentText(), Label15->text()));
}
